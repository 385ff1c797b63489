#include "pool.h"
int main(void) { return acquire() == 0; }
