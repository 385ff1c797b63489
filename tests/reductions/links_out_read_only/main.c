#include <stdio.h>
#include "point.h"
int main(void) {
    struct point p = { 3, -4 };
    printf("%d\n", norm1(p));
    return 0;
}
