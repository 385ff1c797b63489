#include <stdio.h>
#include "state.h"
/* Only pointers: the typedefs suffice. */
static int twice(state *s) { return 2 * state_top(s); }
int main(void) {
    state *s = state_new();
    packed_t *p = packed_get();
    printf("%d %zu %d\n", twice(s), state_total(s), p != NULL);
    return 0;
}
