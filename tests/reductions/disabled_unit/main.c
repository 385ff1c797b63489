#include "feature.h"
int main(void) { return 0; }
