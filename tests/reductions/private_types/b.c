#include "a.h"
enum { bt_compressed = 2 };
typedef struct { long v; } table_t;
int main(void) { table_t x = { get(make()) }; return x.v != 8 || bt_compressed != 2; }
