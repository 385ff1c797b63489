// Removes the declarations that no definition and no implementation file uses,
// directly or through other declarations. One backward walk from the leaves
// marks every node that reaches a leaf; a declaration is kept exactly when its
// set of reachable leaves (actual_dominate_set) is not empty.
#include "header/graph.h"

#include "graph/progress.h"

#include <iostream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {
std::unordered_set<int> reaching_a_leaf(const node_set& leaves, const edge_set& edges) {
    std::unordered_map<int, std::vector<int>> sources;
    for (const edge& e : edges)
        sources[e.to.id].push_back(e.from.id);
    std::unordered_set<int> marked;
    std::vector<int> pending;
    for (const node& leaf : leaves)
        if (marked.insert(leaf.id).second) pending.push_back(leaf.id);
    while (!pending.empty()) {
        const int id = pending.back();
        pending.pop_back();
        auto it = sources.find(id);
        if (it == sources.end()) continue;
        for (int from : it->second)
            if (marked.insert(from).second) pending.push_back(from);
    }
    return marked;
}
} // namespace

void graph::remove_unused_declarations() {
    const std::unordered_set<int> used = reaching_a_leaf(leaves, edges);
    const bool tracing = config.accept("debug remove_unused");
    const node_set all = nodes;
    for (const node& n : all) {
        if (n.is_define() || used.count(n.id)) continue;
        if (tracing)
            std::cout << "debug remove_unused"
                      << ":" << n << std::endl;
        nodes.erase(n);
    }
    remove_dangling_edges();
    announce("unused declarations removed.");
    if (config.accept("debug count")) count();
}
