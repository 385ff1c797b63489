#include "header/graph.h"

// Leaf construction; not built yet.
void graph::construct_leaves() {}
