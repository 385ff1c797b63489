#ifndef INTERNAL_H
#define INTERNAL_H
#include "public.h"
typedef struct config_s {
    int good, lazy;
} config;
struct internal_state {
    int level;
    config conf;
    stream *owner;
};
int internal_level(const struct internal_state *s);
#endif
