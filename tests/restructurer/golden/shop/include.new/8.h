#ifndef HEADER_8
#define HEADER_8
#include "6.h"
# 26 "@SHOP@/include/item.h"
extern item_t items[16];
# 27 "@SHOP@/include/item.h"
extern int item_count;
#endif
