#include "t.h"
#include "u.h"
int main(void) { return s.n; }
