// Removes the declarations that no definition and no implementation file uses,
// directly or through other declarations. One backward walk from the leaves
// marks every node that reaches a leaf; a declaration is kept exactly when its
// set of reachable leaves (actual_dominate_set) is not empty.
#include "header/graph.h"

#include "graph/progress.h"

#include <algorithm>
#include <iostream>
#include <vector>

namespace {
// The numbers of the nodes from which some leaf is reachable along the edges
// (the leaves included), in ascending order. The walk runs on arrays indexed
// by the numbers that occur, sorted: no allocation per edge or node.
std::vector<int> reaching_a_leaf(const node_set& leaves, const edge_set& edges) {
    std::vector<int> ids;
    ids.reserve(2 * edges.size() + leaves.size());
    for (const edge& e : edges) {
        ids.push_back(e.from.id);
        ids.push_back(e.to.id);
    }
    for (const node& leaf : leaves)
        ids.push_back(leaf.id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    auto index = [&ids](int id) {
        return static_cast<int>(std::lower_bound(ids.begin(), ids.end(), id) - ids.begin());
    };
    // The sources of the edges into each index, as one array cut in ranges.
    std::vector<int> first(ids.size() + 1, 0), sources(edges.size());
    std::vector<int> from_index, to_index;
    from_index.reserve(edges.size());
    to_index.reserve(edges.size());
    for (const edge& e : edges) {
        from_index.push_back(index(e.from.id));
        to_index.push_back(index(e.to.id));
        ++first[to_index.back() + 1];
    }
    for (std::size_t i = 1; i < first.size(); ++i)
        first[i] += first[i - 1];
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (std::size_t i = 0; i < from_index.size(); ++i)
        sources[fill[to_index[i]]++] = from_index[i];

    std::vector<char> marked(ids.size(), 0);
    std::vector<int> pending;
    for (const node& leaf : leaves) {
        const int at = index(leaf.id);
        if (!marked[at]) {
            marked[at] = 1;
            pending.push_back(at);
        }
    }
    while (!pending.empty()) {
        const int at = pending.back();
        pending.pop_back();
        for (int i = first[at]; i < first[at + 1]; ++i)
            if (!marked[sources[i]]) {
                marked[sources[i]] = 1;
                pending.push_back(sources[i]);
            }
    }
    std::vector<int> used;
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (marked[i]) used.push_back(ids[i]);
    return used;
}
} // namespace

void graph::remove_unused_declarations() {
    const std::vector<int> used = reaching_a_leaf(leaves, edges);
    const bool tracing = config.accept("debug remove_unused");
    for (auto it = nodes.begin(); it != nodes.end();) {
        if (it->is_define() || std::binary_search(used.begin(), used.end(), it->id)) {
            ++it;
            continue;
        }
        if (tracing)
            std::cout << "debug remove_unused"
                      << ":" << *it << std::endl;
        it = nodes.erase(it);
    }
    remove_dangling_edges();
    announce("unused declarations removed.");
    if (config.accept("debug count")) count();
}
