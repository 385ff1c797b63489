#include "graph/dense_graph.h"

#include <algorithm>

dense_graph::dense_graph(const node_set& nodes, const edge_set& edges, const node_set& extra) {
    ids_.reserve(nodes.size() + extra.size());
    for (const node& n : nodes)
        ids_.push_back(n.id);
    for (const node& n : extra)
        ids_.push_back(n.id);
    for (const edge& e : edges) {
        ids_.push_back(e.from.id);
        ids_.push_back(e.to.id);
    }
    std::sort(ids_.begin(), ids_.end());
    ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
    index_.reserve(ids_.size());
    for (int i = 0; i < size(); ++i)
        index_.emplace(ids_[i], i);

    // The edge set is ordered by source number, so the targets of one vertex
    // arrive together and in ascending order.
    first_.assign(size() + 1, 0);
    targets_.reserve(edges.size());
    int vertex = 0;
    for (const edge& e : edges) {
        const int from = index_.at(e.from.id);
        while (vertex < from)
            first_[++vertex] = static_cast<int>(targets_.size());
        targets_.push_back(index_.at(e.to.id));
    }
    while (vertex < size())
        first_[++vertex] = static_cast<int>(targets_.size());
}

std::vector<int> dense_graph::components(int& count) const {
    const int n = size();
    std::vector<int> component(n, -1), order(n, -1), low(n, 0), next(n, 0), stack, calls;
    std::vector<char> on_stack(n, 0);
    int counter = 0;
    count = 0;
    auto open = [&](int v) {
        order[v] = low[v] = counter++;
        next[v] = first_[v];
        stack.push_back(v);
        on_stack[v] = 1;
        calls.push_back(v);
    };
    for (int root = 0; root < n; ++root) {
        if (order[root] != -1) continue;
        open(root);
        while (!calls.empty()) {
            const int v = calls.back();
            if (next[v] < first_[v + 1]) {
                const int w = targets_[next[v]++];
                if (order[w] == -1)
                    open(w);
                else if (on_stack[w] && order[w] < low[v])
                    low[v] = order[w];
                continue;
            }
            calls.pop_back();
            if (!calls.empty() && low[v] < low[calls.back()]) low[calls.back()] = low[v];
            if (low[v] != order[v]) continue;
            int w;
            do {
                w = stack.back();
                stack.pop_back();
                on_stack[w] = 0;
                component[w] = count;
            } while (w != v);
            ++count;
        }
    }
    return component;
}
