#include "count.h"
size_t count_char(const char *text, char c) {
    size_t n = 0;
    for (; *text; ++text) n += *text == c;
    return n;
}
