#include <stdio.h>
#include "public.h"
static int count(struct internal_state *st, int n) { return n + (st != NULL); }
static struct internal_state *kept;
static void on_signal(int n, info_t *info, void *data) { (void)n; (void)info; (void)data; }
int main(void) {
    stream s;
    if (stream_init(&s, 4) != 0) return 1;
    kept = s.state;
    printf("%d %d\n", stream_visit(&s, count), kept != NULL);
    printf("%d\n", stream_signal(&s, on_signal));
    stream_end(&s);
    return 0;
}
