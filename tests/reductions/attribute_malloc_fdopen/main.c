#include <stdio.h>
int main(void) { return fdopen(0, "r") == NULL; }
