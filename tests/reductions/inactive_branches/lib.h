#ifndef LIB_H
#define LIB_H
#ifdef WIDE
typedef long long count_t;
#else
typedef int count_t;
#endif
struct box { count_t n; };
long long lib_size_big(const struct box *b);
#if !defined(LIB_PRIVATE) && defined(BIG)
#define lib_size lib_size_big
#else
int lib_size(const struct box *b);
#endif
#ifdef WANT64
long long lib_open64(const char *name);
#define lib_open lib_open64
#else
int lib_open(const char *name);
#endif
#endif
