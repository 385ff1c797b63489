#ifndef A_H
#define A_H
typedef struct ctx_s ctx_t;
ctx_t *make(void);
int get(const ctx_t *c);
#endif
