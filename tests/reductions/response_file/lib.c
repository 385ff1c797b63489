#include "pair.h"
int pair_sum(const struct pair *p) { return p->a + p->b; }
int unused_here(void) { return 0; }
