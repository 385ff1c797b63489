/* As bison writes it: the code of the grammar under its own name, relative
 * to the directory the compiler runs in. */
#include "../value.h"
static int base(void) { return 2; }
#line 1 "sub/parse.y"
typedef struct { int v; } token;
int parse(void) { token t = { 40 }; return t.v + base() + value(); }
#line 8 "sub/parse.c"
int parse_count(void) { return 1; }
