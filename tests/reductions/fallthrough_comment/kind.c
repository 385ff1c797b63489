#include "kind.h"
int weight(enum kind k) {
    int w = 0;
    switch (k) {
    case LARGE:
        w += 10;
        /* fall through */
    case MEDIUM:
        w += 5;
        // fallthrough
    case SMALL:
        w += 1;
        break;
    }
    return w;
}
