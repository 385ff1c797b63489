#include "util.h"
int main(void) { return twice(1) == 4 && total(2) == 3 ? 0 : 1; }
