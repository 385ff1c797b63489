#define CAT2(a, b) a##b
#define CAT(a, b) CAT2(a, b)
#define NAME(x) CAT(PREFIX, x)
struct NAME(state) { int a; };
static inline int NAME(get)(struct NAME(state) *s) { return s->a; }
