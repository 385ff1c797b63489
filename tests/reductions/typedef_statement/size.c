#include "state.h"
/* The structure whole, named by its tag and by its typedef. */
size_t state_size(void) { return sizeof(struct global_State) + sizeof(state); }
