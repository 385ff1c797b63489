// Reachability along the edges. An edge set is ordered by source number, so
// the edges leaving one node form a contiguous range: a breadth-first walk over
// those ranges gives the same set as sweeping all edges until nothing changes.
#include "header/graph.h"

#include <algorithm>
#include <iterator>
#include <vector>

node_set reachable_from(const node& n, const edge_set& along) {
    node_set reached{n};
    std::vector<node> pending{n};
    while (!pending.empty()) {
        const int from = pending.back().id;
        pending.pop_back();
        for (auto it = along.lower_bound(edge::first_from(from));
             it != along.end() && it->from.id == from; ++it)
            if (reached.insert(it->to).second) pending.push_back(it->to);
    }
    return reached;
}

node_set graph::dominate_set(const node& n) const {
    return reachable_from(n, edges);
}

node_set graph::actual_dominate_set(const node& n) const {
    if (leaves.count(n)) return node_set{n};
    node_set reached = dominate_set(n);
    node_set result;
    std::set_intersection(reached.begin(), reached.end(), leaves.begin(), leaves.end(),
                          std::inserter(result, result.end()));
    return result;
}

int graph::out_degree(const node& n, const edge_set& es) const {
    int degree = 0;
    for (auto it = es.lower_bound(edge::first_from(n.id)); it != es.end() && it->from.id == n.id;
         ++it)
        if (it->to.id != n.id) ++degree;
    return degree;
}

bool graph::edge_before_forward_removal(int from, int to) const {
    return std::binary_search(edges_before_forward_removal.begin(),
                              edges_before_forward_removal.end(), std::make_pair(from, to));
}
