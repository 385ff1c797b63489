#include "shared.h"
int main(void) {
    struct pool p = {4, LEVEL};
    return workers(&p) == 5 ? 0 : 1;
}
