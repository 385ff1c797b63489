#ifndef SHAPE_H
#define SHAPE_H
struct shape { int sides; const char *name; };
int perimeter(const struct shape *s, int side);
static inline int twice(int n) { return 2 * n; }
#endif
