#ifndef T_H
#define T_H
typedef struct { int n; } S;
#endif
