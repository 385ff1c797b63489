#define PREFIX b_
#include "h.h"
int a_value(void);
int main(void) { struct b_state s = { 2 }; return b_get(&s) + a_value() != 3; }
