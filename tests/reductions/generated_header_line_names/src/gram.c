/* As bison writes a parser: its header included, the header's declarations
   again (declared already), the grammar's code under the grammar's name. */
#include "gram.h"
#if ! defined SVAL_IS_DECLARED
union sval { int num; value_t v; };
typedef union sval sval;
# define SVAL_IS_DECLARED 1
#endif
struct param { int base; };
#line 18 "src/gram.y"
#include "scan.h"
static int twice(int n) { return 2 * n; }
int gram_parse(struct param *p, sval *out) { out->num = twice(p->base) + value() + GRAM_MAX - 100; return NUM + scan_count() - 1; }
#line 15 "src/gram.c"
int gram_run(int base) { struct param p = { base }; sval v; gram_parse(&p, &v); return v.num; }
