#ifndef LIB_H
#define LIB_H
struct info {
    int n;
};
int get(struct info *i);
#endif
