#include "state.h"
struct longjmp_S { struct longjmp_S *previous; int status; };
struct node { int value; };
int run(state_T *s) {
    struct longjmp_S lj = { 0, 1 };
    struct node n = { 20 };
    s->error_jump = &lj;
    s->status = lj.status + n.value;
    s->error_jump = 0;
    return s->status;
}
