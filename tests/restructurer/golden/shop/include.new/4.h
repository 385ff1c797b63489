#ifndef HEADER_4
#define HEADER_4
#include "6.h"
# 27 "@SHOP@/include/common.h"
extern const char *category_names[CAT_COUNT];
#endif
