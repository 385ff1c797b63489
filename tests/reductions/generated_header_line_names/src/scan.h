/* As flex writes a scanner's header: the scanner's own macros undefined at its
   end. Only the grammar's code includes it. */
#ifndef SCAN_H
#define SCAN_H
int scan_count(void);
#undef SCAN_NEXT
#endif
