#ifndef POINT_H
#define POINT_H
struct point { int x, y; };
int norm1(struct point p);
struct unused { char c; };
#endif
