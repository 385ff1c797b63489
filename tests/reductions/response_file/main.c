#include <stdio.h>
#include "pair.h"
int main(void) {
    struct pair p = {2, 3};
    printf("%s %d\n", GREETING, pair_sum(&p));
    return pair_sum(&p) == 5 ? 0 : 1;
}
