#ifndef HEADER_6
#define HEADER_6
#include "2.h"
# 26 "@SHOP@/include/item.h"
struct item;
extern item_t items[16];
# 27 "@SHOP@/include/item.h"
extern int item_count;
#endif
