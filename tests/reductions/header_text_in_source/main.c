#include "lib.h"
int main(void) {
    struct info i = {1};
    return get(&i);
}
