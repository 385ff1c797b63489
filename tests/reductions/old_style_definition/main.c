#include "get.h"
int main(void) { return get(); }
