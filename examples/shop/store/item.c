#include <stdio.h>
#include <string.h>

#include "item.h"

item_t items[MAX_ITEMS];
int item_count = 0;

#define CATEGORY_NAME(id, name) name,
const char *category_names[CAT_COUNT] = {SHOP_CATEGORIES(CATEGORY_NAME)};

static int next_code = 100;

static union tag make_tag(const char *name)
{
    union tag tag;
    tag.code = next_code++;
    (void)name;
    return tag;
}

int add_item(const char *name, enum category category, cents_t price, int quantity)
{
    item_t *item;
    if (item_count >= MAX_ITEMS)
        return -1;
    item = &items[item_count];
    item->name = name;
    item->category = category;
    item->price.amount = price;
    item->price.currency = "EUR";
    item->quantity = quantity;
    item->tag = make_tag(name);
#ifdef SHOP_VERBOSE
    printf("added %s\n", name);
#endif
    return item_count++;
}

const item_t *find_item(const char *name)
{
    int i;
    for (i = 0; i < item_count; i++)
        if (strcmp(items[i].name, name) == 0)
            return &items[i];
    return NULL;
}

int count_items(item_filter filter)
{
    int i, n = 0;
    for (i = 0; i < item_count; i++)
        if (filter == NULL || filter(&items[i]))
            n++;
    return n;
}
