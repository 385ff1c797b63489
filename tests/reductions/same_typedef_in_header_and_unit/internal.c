#include "internal.h"
int size_of(const blockProperties_t *p) { return p->blockType == bt_rle ? 1 : (int)p->size; }
