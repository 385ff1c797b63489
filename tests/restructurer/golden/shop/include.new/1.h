#ifndef HEADER_1
#define HEADER_1
#include "6.h"
# 22 "@SHOP@/include/item.h"
typedef int (*item_filter)(const item_t *item);
# 29 "@SHOP@/include/item.h"
int add_item(const char *name, enum category category, cents_t price, int quantity);
# 30 "@SHOP@/include/item.h"
const item_t *find_item(const char *name);
# 31 "@SHOP@/include/item.h"
int count_items(item_filter filter);
#endif
