#include "internal.h"
int level_of(stream *s) { return internal_level(s->state); }
