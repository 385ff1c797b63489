#ifndef TWICE_H
#define TWICE_H
typedef int (fn_t)(int);
extern fn_t twice;
#endif
