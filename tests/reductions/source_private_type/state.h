/* Names a structure that only ldo.c defines, as lua's lstate.h does. */
struct longjmp_S;
typedef struct { struct longjmp_S *error_jump; int status; } state_T;
int run(state_T *s);
int count(state_T *s);
