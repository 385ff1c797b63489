#include <stdio.h>
#include "packet.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-qual"
#endif
static char *unconst(const char *s) { return (char *)s; }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

int main(void) {
    struct header h;
    struct plain p;
    printf("%d %d %d %s\n", (int)sizeof h, (int)sizeof p, header_size(), unconst("ok"));
    return sizeof h == 5 && header_size() == 5 ? 0 : 1;
}
