#include "header/graph.h"

// The leaves are the definitions and the implementation files (and header
// nodes that hold one of them).
void graph::construct_leaves() {
    leaves.clear();
    for (const node& n : nodes)
        if (n.is_define() || n.is_implement()) leaves.insert(n);
}
