#include <stdio.h>
#include <stdlib.h>
#include <math.h>
#include "area.h"
int main(void) {
    double a = area(2.0);
    printf("%.2f\n", a);
    return fabs(a - 12.5664) < 0.001 ? EXIT_SUCCESS : EXIT_FAILURE;
}
