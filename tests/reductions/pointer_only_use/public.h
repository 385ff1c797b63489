/* zlib's pattern: the public structure holds a pointer to an internal one
 * that only the library's own sources define and use. */
#ifndef PUBLIC_H
#define PUBLIC_H
struct internal_state;
typedef struct stream_s {
    int avail;
    struct internal_state *state;
} stream;
typedef int (*visit_fn)(struct internal_state *s, int n);
int stream_init(stream *s, int level);
int stream_visit(stream *s, visit_fn f);
void stream_end(stream *s);
#endif
