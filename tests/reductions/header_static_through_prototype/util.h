#ifndef UTIL_H
#define UTIL_H
/* A static function of a header used through its prototype, defined later. */
static int helper(int v);
static inline int twice(int v) { return helper(v) * 2; }
static int helper(int v) { return v + 1; }
/* Used by nobody: must not reach any unit. */
static inline int unused_square(int v) { return v * v; }
int total(int n);
#endif
