#ifndef POOL_H
#define POOL_H
void release(void *p);
void *acquire(void) __attribute__((__malloc__(release, 1)));
#endif
