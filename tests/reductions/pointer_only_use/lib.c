#include <stdlib.h>
#include "internal.h"
int stream_init(stream *s, int level) {
    s->state = malloc(sizeof *s->state);
    if (s->state == NULL) return -1;
    s->state->level = level;
    s->state->conf.good = level * 2;
    s->state->owner = s;
    s->avail = 3;
    return 0;
}
int stream_visit(stream *s, visit_fn f) { return f(s->state, s->avail); }
void stream_end(stream *s) { free(s->state); s->state = NULL; }
int internal_level(const struct internal_state *s) { return s->level + s->conf.good; }
int stream_signal(stream *s, handler_fn f) {
    if (f != NULL) f(s->avail, NULL, s);
    return s->avail;
}
