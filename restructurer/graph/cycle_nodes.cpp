// Counting the nodes that lie on a directed cycle. A node lies on a cycle when
// one of the units it uses is reachable from it, that is when it has a self
// edge or belongs to a strongly connected component of two or more nodes.
// The components are found in linear time (dense_graph) instead of one
// reachability closure per node.
#include "header/graph.h"

#include "graph/dense_graph.h"

#include <algorithm>
#include <iostream>
#include <vector>

// successors and predecessors from the current edges.
void graph::rebuild_adjacency() {
    predecessors.clear();
    successors.clear();
    // Edges come ordered by source, then target: each source's entry and its
    // targets arrive last in their containers, so every insertion is hinted at
    // the end. The same holds for the targets once the edges are ordered by
    // target, stably, so that each target's sources stay ascending and each
    // entry is made by the first edge that made it before.
    auto from_entry = successors.end();
    for (const edge& e : edges) {
        if (from_entry == successors.end() || from_entry->first != e.from)
            from_entry = successors.emplace_hint(successors.end(), e.from, node_set());
        from_entry->second.emplace_hint(from_entry->second.end(), e.to);
    }
    std::vector<edge> by_target(edges.begin(), edges.end());
    std::stable_sort(by_target.begin(), by_target.end(),
                     [](const edge& a, const edge& b) { return a.to.id < b.to.id; });
    auto to_entry = predecessors.end();
    for (const edge& e : by_target) {
        if (to_entry == predecessors.end() || to_entry->first != e.to)
            to_entry = predecessors.emplace_hint(predecessors.end(), e.to, node_set());
        to_entry->second.emplace_hint(to_entry->second.end(), e.from);
    }
}

int graph::count_cycle_nodes() {
    rebuild_adjacency();

    const dense_graph dense(nodes, edges);
    int component_count = 0;
    const std::vector<int> component = dense.components(component_count);
    std::vector<int> component_size(component_count, 0);
    for (int c : component)
        ++component_size[c];
    std::vector<char> on_cycle(dense.size(), 0);
    for (int v = 0; v < dense.size(); ++v) {
        if (component_size[component[v]] > 1) on_cycle[v] = 1;
        for (int i = dense.first(v); i < dense.first(v + 1); ++i)
            if (dense.targets()[i] == v) on_cycle[v] = 1;
    }

    int cycles = 0;
    for (const node& n : nodes) {
        predecessors[n]; // every node gets an entry, as the closure test makes one
        if (!on_cycle[dense.index_of(n.id)]) continue;
        ++cycles;
        if (config.accept("debug cycle"))
            std::cout << "debug cycle"
                      << ":" << n << std::endl;
    }
    return cycles;
}
