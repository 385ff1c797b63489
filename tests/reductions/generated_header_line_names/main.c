#include "gram.h"
#include "value.h"
int value(void) { return 0; }
int gram_run(int base);
int lex_token(sval *v);
int main(void) {
  sval v;
  return gram_run(20) == 40 && lex_token(&v) == PLUS && v.num == 1 ? 0 : 1;
}
