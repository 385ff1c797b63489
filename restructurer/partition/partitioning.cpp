// Groups every node that is not a leaf with the other nodes that reach exactly
// the same leaves: the units needed by the same definitions and implementation
// files end up in one group, and later in one header.
#include "header/graph.h"

#include "graph/progress.h"
#include "partition/leaf_sets.h"

#include <vector>

void graph::partitioning() {
    const leaf_sets reach(nodes, edges, leaves);
    // Nodes are met in ascending number, so each group fills in order.
    std::vector<node_set> groups(reach.key_count());
    for (const node& n : nodes) {
        if (leaves.count(n)) continue;
        node_set& group = groups[reach.key_of(n)];
        group.insert(group.end(), n);
    }
    for (node_set& group : groups)
        if (!group.empty()) partitions.insert(std::move(group));
    announce("... partitioned");
    count();
}
