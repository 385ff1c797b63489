/* lua's lstate.h pattern: structures defined with their typedef in one
 * statement, which most sources only pass around by pointer. The build is
 * C99 with -pedantic-errors: a typedef written twice would not compile. */
#ifndef STATE_H
#define STATE_H
#include <stddef.h>
typedef unsigned char byte_t;
typedef struct global_State {
    size_t total;
    byte_t mark;
} global_State, *global_Ptr;
typedef struct state {
    global_State *g;
    int top;
} state;
/* Attributes after the body belong to the structure: kept as one statement. */
typedef struct packed_s {
    byte_t tag;
    int value;
} __attribute__((packed)) packed_t;
state *state_new(void);
int state_top(const state *s);
size_t state_total(state *s);
packed_t *packed_get(void);
#endif
