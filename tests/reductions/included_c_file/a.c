#include <stdio.h>
#include "f.c"
int main(void) { printf("%d\n", f()); return f(); }
