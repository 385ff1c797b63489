#include <stdlib.h>
int main(void) { return strtod("0", NULL) != 0.0; }
