#ifndef VALUE_H
#define VALUE_H
typedef int value_t;
int value(void);
#endif
