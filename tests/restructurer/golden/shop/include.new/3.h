#ifndef HEADER_3
#define HEADER_3
#include "6.h"
# 23 "@SHOP@/include/report.h"
void print_plain_line(const item_t *item, int index);
#endif
