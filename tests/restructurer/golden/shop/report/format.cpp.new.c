#include "0.h"
#include "3.h"
#include "4.h"
#include "10.h"
# 378 "/usr/include/stdio.h"
extern int snprintf (char *__restrict __s, size_t __maxlen,
       const char *__restrict __format, ...)
     __attribute__ ((__nothrow__)) __attribute__ ((__format__ (__printf__, 3, 4)));
# 5 "@SHOP@/report/format.c"
void format_money(money_t value, char *buffer, size_t size)
{
    snprintf(buffer, size, "%ld.%02ld %s", value.amount / 100, value.amount % 100,
             value.currency);
}
# 11 "@SHOP@/report/format.c"
void print_plain_line(const item_t *item, int index)
{
    char price[32];
    format_money(item->price, price, sizeof price);
    printf("%2d. %-10s %-5s %3d x %s (tag %d)\n", index, item->name,
           category_names[item->category], item->quantity, price, item->tag.code);
}
