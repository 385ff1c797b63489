#include "state.h"
/* The same tag as ldo.c's, another structure. */
struct node { const char *name; double weight; int value; };
int main(void) {
    state_T s = { 0, 0 };
    struct node n = { "x", 1.5, 21 };
    return run(&s) + n.value == 42 && count(&s) == 21 ? 0 : 1;
}
