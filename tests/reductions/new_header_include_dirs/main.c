#include "zcommon.h"
int common_cols(void) { return COLS; }
int main(void) { return common_cols() == 132 && term_rows() == 24 ? 0 : 1; }
