#ifndef HEADER_9
#define HEADER_9
#include "6.h"
# 32 "@SHOP@/include/item.h"
void stock_by_category(int totals[CAT_COUNT]);
# 33 "@SHOP@/include/item.h"
cents_t stock_value(void);
#endif
