#include "header/graph.h"

// Partitioning of the non-leaf nodes; not built yet.
void graph::partitioning() {}
