// Counting the nodes that lie on a directed cycle. A node lies on a cycle when
// one of the units it uses is reachable from it, that is when it has a self
// edge or belongs to a strongly connected component of two or more nodes.
// The components are found with Tarjan's algorithm (iterative, linear time)
// instead of one reachability closure per node.
#include "header/graph.h"

#include <iostream>
#include <unordered_map>
#include <vector>

namespace {

// Numbers of the nodes that lie on a cycle of the given edges.
std::vector<char> on_cycle_flags(const edge_set& edges, const std::vector<int>& ids,
                                 const std::unordered_map<int, int>& index) {
    const int count = static_cast<int>(ids.size());
    // Adjacency in compressed form: the edges are already grouped by source.
    std::vector<int> first(count + 1, 0), targets;
    targets.reserve(edges.size());
    std::vector<char> on_cycle(count, 0);
    for (const edge& e : edges) ++first[index.at(e.from.id) + 1];
    for (int i = 0; i < count; ++i) first[i + 1] += first[i];
    targets.resize(edges.size());
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (const edge& e : edges) {
        const int from = index.at(e.from.id), to = index.at(e.to.id);
        targets[fill[from]++] = to;
        if (from == to) on_cycle[from] = 1;
    }

    std::vector<int> order(count, -1), low(count, 0), stack, next(count, 0);
    std::vector<char> on_stack(count, 0);
    std::vector<int> calls;
    int counter = 0;
    for (int root = 0; root < count; ++root) {
        if (order[root] != -1) continue;
        calls.push_back(root);
        order[root] = low[root] = counter++;
        next[root] = first[root];
        stack.push_back(root);
        on_stack[root] = 1;
        while (!calls.empty()) {
            const int v = calls.back();
            if (next[v] < first[v + 1]) {
                const int w = targets[next[v]++];
                if (order[w] == -1) {
                    order[w] = low[w] = counter++;
                    next[w] = first[w];
                    stack.push_back(w);
                    on_stack[w] = 1;
                    calls.push_back(w);
                } else if (on_stack[w] && order[w] < low[v]) {
                    low[v] = order[w];
                }
                continue;
            }
            calls.pop_back();
            if (!calls.empty() && low[v] < low[calls.back()]) low[calls.back()] = low[v];
            if (low[v] != order[v]) continue;
            std::vector<int> component;
            int w;
            do {
                w = stack.back();
                stack.pop_back();
                on_stack[w] = 0;
                component.push_back(w);
            } while (w != v);
            if (component.size() > 1)
                for (int member : component) on_cycle[member] = 1;
        }
    }
    return on_cycle;
}

} // namespace

int graph::count_cycle_nodes() {
    predecessors.clear();
    successors.clear();
    for (const edge& e : edges) {
        successors[e.from].insert(e.to);
        predecessors[e.to].insert(e.from);
    }

    // Dense numbering of every node number that occurs in nodes or edges.
    std::unordered_map<int, int> index;
    std::vector<int> ids;
    auto number = [&](int id) {
        if (index.emplace(id, static_cast<int>(ids.size())).second) ids.push_back(id);
    };
    for (const node& n : nodes) number(n.id);
    for (const edge& e : edges) {
        number(e.from.id);
        number(e.to.id);
    }
    const std::vector<char> on_cycle = on_cycle_flags(edges, ids, index);

    int cycles = 0;
    for (const node& n : nodes) {
        predecessors[n]; // every node gets an entry, as the closure test makes one
        if (!on_cycle[index.at(n.id)]) continue;
        ++cycles;
        if (config.accept("debug cycle")) std::cout << "debug cycle" << ":" << n << std::endl;
    }
    return cycles;
}
