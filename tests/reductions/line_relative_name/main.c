#include "value.h"
int gen(void);
int parse(void);
int parse_count(void);
int value(void) { return 0; }
int main(void) { return gen() == 42 && parse() == 42 && parse_count() == 1 ? 0 : 1; }
