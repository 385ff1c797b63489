#include "feature.h"
#ifdef NEVER
int feature(void) { return 1; }
#endif
