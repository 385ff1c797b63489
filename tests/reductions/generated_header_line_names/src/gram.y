/* The grammar; bison wrote gram.c and gram.h from it. */
%code requires {

#include "value.h"
struct param;
#define GRAM_MAX 100
}
%union {
  int num;
  value_t v;
}
%%
start: NUM ;
%%
struct param { int base; };


#include "scan.h"
static int twice(int n) { return 2 * n; }
int gram_parse(struct param *p, sval *out) { out->num = twice(p->base) + value() + GRAM_MAX - 100; return NUM; }
