struct pool {
#ifdef THREADS
    int workers;
#endif
    int level;
};
int workers(const struct pool *p);
