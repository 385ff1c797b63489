#include <stdarg.h>
#include "shapes.h"
int sum(int n, ...) {
    va_list ap;
    int total = 0;
    va_start(ap, n);
    while (n-- > 0) total += va_arg(ap, struct arg).a;
    va_end(ap);
    return total;
}
static int first(const void *p) { return ((const struct cast *)p)->a; }
int main(void) {
    struct arg one = {1, 2};
    int v[2] = {3, 4};
    int lit = ((struct lit){5, 6}).b;
    return !(SZ >= 9 && OFF >= 1 && AL >= 1 && sum(1, one) == 1 && first(v) == 3 && lit == 6);
}
