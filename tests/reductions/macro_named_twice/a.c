#define PREFIX a_
#include "h.h"
int a_value(void) { struct a_state s = { 1 }; return a_get(&s); }
