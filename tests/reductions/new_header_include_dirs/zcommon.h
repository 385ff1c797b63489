#ifndef ZCOMMON_H
#define ZCOMMON_H
#include "lib/include/term.h"
/* The width depends on the terminal library's configuration. */
#ifdef TERM_WIDE
# define COLS 132
#else
# define COLS 80
#endif
int common_cols(void);
#endif
