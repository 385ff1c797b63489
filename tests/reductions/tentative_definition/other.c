#include "dir.h"
int other(void) { return name[0] == 'x' ? next() : 0; }
