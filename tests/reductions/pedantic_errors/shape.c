#include "shape.h"
int perimeter(const struct shape *s, int side) { return s->sides * side; }
