#ifndef TERM_H
#define TERM_H
#define TERM_WIDE 1
int term_rows(void);
#endif
