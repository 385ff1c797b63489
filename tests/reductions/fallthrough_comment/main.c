#include "kind.h"
int main(void) { return weight(LARGE) == 16 && weight(SMALL) == 1 ? 0 : 1; }
