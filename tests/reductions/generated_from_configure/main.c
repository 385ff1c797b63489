#include "gen.h"
int main(void) { return generated() == 42 ? 0 : 1; }
