/* As bison writes a parser's header: the "%code requires" block and the union's
   members under the grammar's name, relative to the compile directory; the
   union declared once, then marked declared. */
#ifndef YY_SRC_GRAM_H_INCLUDED
# define YY_SRC_GRAM_H_INCLUDED
#line 3 "src/gram.y" /* yacc.c:1909  */

#include "value.h"
struct param;
#define GRAM_MAX 100

#line 13 "src/gram.h" /* yacc.c:1909  */
enum token { NUM = 258, PLUS = 259 };
#if ! defined SVAL_IS_DECLARED
union sval
{
#line 9 "src/gram.y" /* yacc.c:1909  */
  int num;
  value_t v;
#line 21 "src/gram.h" /* yacc.c:1909  */
};
typedef union sval sval;
# define SVAL_IS_DECLARED 1
#endif
int gram_parse(struct param *p, sval *out);
#endif
