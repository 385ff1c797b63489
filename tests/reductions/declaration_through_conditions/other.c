#include "globals.h"
int other(void) { return (int)rows + cols; }
