#ifndef HEADER_10
#define HEADER_10
#include "6.h"

# 214 "/usr/lib/gcc/x86_64-linux-gnu/12/include/stddef.h"
typedef long unsigned int size_t;
# 22 "@SHOP@/include/report.h"
void format_money(money_t value, char *buffer, size_t size);
#endif
