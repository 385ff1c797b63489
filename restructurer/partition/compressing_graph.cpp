#include "header/graph.h"

// Compression of the partitions into header nodes; not built yet.
void graph::compressing_graph() {}
