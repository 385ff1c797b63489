#ifndef HEADER_0
#define HEADER_0
# 356 "/usr/include/stdio.h"
extern int printf (const char *__restrict __format, ...);
#endif
