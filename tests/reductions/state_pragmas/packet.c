#include "packet.h"
int header_size(void) { return (int)sizeof(struct header); }
