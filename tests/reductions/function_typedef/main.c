#include "twice.h"
int main(void) { return twice(21) != 42; }
