#include "shared.h"
#ifdef THREADS
int workers(const struct pool *p) { return p->workers + p->level; }
#else
int workers(const struct pool *p) { return p->level; }
#endif
