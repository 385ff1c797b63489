#include "area.h"
double area(double radius) { return 3.14159265358979 * radius * radius; }
