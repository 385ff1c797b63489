#include "f.c"
int main(void) { return f(); }
