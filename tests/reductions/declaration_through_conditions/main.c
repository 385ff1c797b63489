#define EXTERN
#define DO_INIT
#include "globals.h"
int main(void) { return rows == 24 && cols == 80 && other() == 104 ? 0 : 1; }
