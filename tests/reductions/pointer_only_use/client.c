#include <stdio.h>
#include "public.h"
static int count(struct internal_state *st, int n) { return n + (st != NULL); }
static struct internal_state *kept;
int main(void) {
    stream s;
    if (stream_init(&s, 4) != 0) return 1;
    kept = s.state;
    printf("%d %d\n", stream_visit(&s, count), kept != NULL);
    stream_end(&s);
    return 0;
}
