#include <t.h>
extern S s;
