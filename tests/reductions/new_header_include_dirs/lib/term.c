#include "term.h"
int term_rows(void) { return TERM_WIDE ? 24 : 25; }
