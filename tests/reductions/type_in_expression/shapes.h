#ifndef SHAPES_H
#define SHAPES_H
#include <stddef.h>
struct pair { char c; double d; };
struct offs { char c; double d; };
struct algn { char c; double d; };
struct lit { int a, b; };
struct arg { int a, b; };
struct cast { int a, b; };
enum { SZ = sizeof(struct pair) };
enum { OFF = offsetof(struct offs, d) };
enum { AL = _Alignof(struct algn) };
int sum(int n, ...);
#endif
