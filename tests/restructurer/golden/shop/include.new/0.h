#ifndef HEADER_0
#define HEADER_0
#include "2.h"
# 356 "/usr/include/stdio.h"
extern int printf (const char *__restrict __format, ...);
# 18 "@SHOP@/include/common.h"
extern const char *category_names[CAT_COUNT];
#endif
