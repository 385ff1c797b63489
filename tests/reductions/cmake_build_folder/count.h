#ifndef COUNT_H
#define COUNT_H
#include <stddef.h>
size_t count_char(const char *text, char c);
#endif
