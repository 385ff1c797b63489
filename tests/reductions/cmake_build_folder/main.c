#include <stdio.h>
#include "count.h"
int main(void) {
    printf("%zu\n", count_char("banana", 'a'));
    return count_char("banana", 'a') == 3 ? 0 : 1;
}
