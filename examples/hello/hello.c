#include "hello.h"
int counter = 0;
int distance(point_t *p)
{
    point_t q = *p;
    counter++;
    return q.x + q.y;
}
