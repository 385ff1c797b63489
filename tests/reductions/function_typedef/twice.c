#include "twice.h"
int twice(int x) { return 2 * x; }
