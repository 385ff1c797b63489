#define LIB_PRIVATE
#include "lib.h"
