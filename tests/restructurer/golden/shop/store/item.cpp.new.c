#include "1.h"
#include "4.h"
# 156 "/usr/include/string.h"
extern int strcmp (const char *__s1, const char *__s2)
     __attribute__ ((__nothrow__ , __leaf__)) __attribute__ ((__pure__)) __attribute__ ((__nonnull__ (1, 2)));
#include "8.h"
# 6 "@SHOP@/store/item.c"
item_t items[16];
# 7 "@SHOP@/store/item.c"
int item_count = 0;
# 10 "@SHOP@/store/item.c"
const char *category_names[CAT_COUNT] = {"food", "tool", "toy",};
# 12 "@SHOP@/store/item.c"
static int next_code = 100;
# 14 "@SHOP@/store/item.c"
static union tag make_tag(const char *name)
{
    union tag tag;
    tag.code = next_code++;
    (void)name;
    return tag;
}
# 22 "@SHOP@/store/item.c"
int add_item(const char *name, enum category category, cents_t price, int quantity)
{
    item_t *item;
    if (item_count >= 16)
        return -1;
    item = &items[item_count];
    item->name = name;
    item->category = category;
    item->price.amount = price;
    item->price.currency = "EUR";
    item->quantity = quantity;
    item->tag = make_tag(name);



    return item_count++;
}
# 40 "@SHOP@/store/item.c"
const item_t *find_item(const char *name)
{
    int i;
    for (i = 0; i < item_count; i++)
        if (strcmp(items[i].name, name) == 0)
            return &items[i];
    return ((void *)0) ;
}
# 49 "@SHOP@/store/item.c"
int count_items(item_filter filter)
{
    int i, n = 0;
    for (i = 0; i < item_count; i++)
        if (filter == ((void *)0) || filter(&items[i]))
            n++;
    return n;
}
