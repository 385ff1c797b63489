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
/* glibc's siginfo_t: an unnamed structure defined by its typedef, whose
 * members need other typedefs, reached only through a pointer. */
typedef int pid_type;
typedef struct {
    int signo;
    union {
        struct {
            pid_type pid;
        } kill;
    } fields;
} info_t;
typedef void (*handler_fn)(int, info_t *, void *);
int stream_init(stream *s, int level);
int stream_signal(stream *s, handler_fn f);
int stream_visit(stream *s, visit_fn f);
void stream_end(stream *s);
#endif
