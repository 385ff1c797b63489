#include <stdlib.h>
#include "pool.h"
void release(void *p) { free(p); }
void *acquire(void) { return malloc(16); }
