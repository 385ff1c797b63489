#include "get.h"
int get() { return 0; }
