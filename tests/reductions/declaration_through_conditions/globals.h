/* As vim's globals.h: one file defines the variables, the others declare them;
   a declaration's initialiser stands in conditions and its ';' after them. */
#ifndef GLOBALS_H
#define GLOBALS_H
#ifndef EXTERN
# define EXTERN extern
# define INIT(x)
#else
# ifndef INIT
#  define INIT(x) x
# endif
#endif
EXTERN long rows
#ifdef DO_INIT
# ifdef WIDE
		    = 50L
# else
		    = 24L
# endif
#endif
		    ;
EXTERN int cols
#ifdef DO_INIT
    INIT(= 80);
#else
    INIT(= 0);
#endif
int other(void);
#endif
