#include "lib_private.h"
int lib_size(const struct box *b) { return (int)b->n; }
long long lib_size_big(const struct box *b) { return b->n * 2LL + (long long)sizeof(count_t); }
int lib_open(const char *name) { return name[0]; }
long long lib_open64(const char *name) { return name[0] + 64LL; }
