#include "u.h"
S s;
