#ifndef HEADER_3
#define HEADER_3
#include "6.h"
struct item;
# 16 "@SHOP@/include/report.h"
void print_plain_line(const item_t *item, int index);
#endif
