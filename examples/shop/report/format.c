#include <stdio.h>

#include "report.h"

void format_money(money_t value, char *buffer, size_t size)
{
    snprintf(buffer, size, "%ld.%02ld %s", value.amount / 100, value.amount % 100,
             value.currency);
}

void print_plain_line(const item_t *item, int index)
{
    char price[32];
    format_money(item->price, price, sizeof price);
    printf("%2d. %-10s %-5s %3d x %s (tag %d)\n", index, item->name,
           category_names[item->category], item->quantity, price, item->tag.code);
}
