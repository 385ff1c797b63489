#include "internal.h"
int legacy(void);
int main(void) { blockProperties_t p = {bt_raw, 4}; return size_of(&p) == 4 && legacy() == 5 ? 0 : 1; }
