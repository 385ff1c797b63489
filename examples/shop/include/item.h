/* Items on the shelves, and the table that holds them. */
#ifndef SHOP_ITEM_H
#define SHOP_ITEM_H

#include "common.h"

union tag {
    int code;
    char letters[4];
};

struct item {
    const char *name;
    enum category category;
    money_t price;
    int quantity;
    union tag tag;
};

typedef struct item item_t;

typedef int (*item_filter)(const item_t *item);

#define MAX_ITEMS 16

extern item_t items[MAX_ITEMS];
extern int item_count;

int add_item(const char *name, enum category category, cents_t price, int quantity);
const item_t *find_item(const char *name);
int count_items(item_filter filter);
void stock_by_category(int totals[CAT_COUNT]);
cents_t stock_value(void);

#endif
