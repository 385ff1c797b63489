#ifndef HEADER_3
#define HEADER_3
#include "2.h"
# 22 "@SHOP@/include/item.h"
typedef int (*item_filter)(const item_t *item);
#endif
