struct pair { int a, b; };
int pair_sum(const struct pair *p);
int unused_here(void);
