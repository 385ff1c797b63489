// Times graph::count_cycle_nodes and one graph::dominate_set per node on
// synthetic dependency graphs shaped like real ones: five layers (types,
// aggregates, prototypes, ... down to definitions), each node used by three
// random nodes of the next layer, and one node in a hundred used back by one of
// its users, which makes a two-node cycle.
#include "header/graph.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

graph synthetic(int count, std::vector<node>& v) {
    std::mt19937 random(42);
    const int layers = 5;
    auto layer_start = [&](int k) { return static_cast<long long>(count) * k / layers; };
    graph g;
    for (int i = 0; i < count; ++i) {
        auto* unit = make_node<ProgramUnit>("u:" + std::to_string(i));
        unit->declaration = i < layer_start(layers - 1);
        v.emplace_back(i, unit);
        g.nodes.insert(v.back());
        if (!unit->declaration) g.leaves.insert(v.back());
    }
    for (int k = 0; k + 1 < layers; ++k) {
        const long long lo = layer_start(k + 1), width = layer_start(k + 2) - lo;
        for (long long i = layer_start(k); i < lo; ++i)
            for (int j = 0; j < 3; ++j) {
                const node& user = v[lo + random() % width];
                g.edges.insert(edge(v[i], user));
                if (j == 0 && random() % 100 == 0) g.edges.insert(edge(user, v[i]));
            }
    }
    return g;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The closure as a fixpoint over all edges, for comparison on a small graph.
node_set fixpoint(const graph& g, const node& n) {
    node_set s{n};
    for (;;) {
        const std::size_t before = s.size();
        for (const edge& e : g.edges)
            if (s.count(e.from)) s.insert(e.to);
        if (s.size() == before) return s;
    }
}

void measure(int count) {
    std::vector<node> v;
    graph g = synthetic(count, v);
    auto start = std::chrono::steady_clock::now();
    const int cycles = g.count_cycle_nodes();
    const double cycle_time = seconds_since(start);

    start = std::chrono::steady_clock::now();
    std::size_t reached = 0;
    for (const node& n : g.nodes)
        reached += g.dominate_set(n).size();
    const double closure_time = seconds_since(start);

    std::printf("%7d nodes %7zu edges: count_cycle_nodes %.3f s (%d on cycles), "
                "dominate_set for every node %.3f s (%zu nodes reached)\n",
                count, g.edges.size(), cycle_time, cycles, closure_time, reached);
}

void measure_fixpoint(int count) {
    std::vector<node> v;
    graph g = synthetic(count, v);
    auto start = std::chrono::steady_clock::now();
    std::size_t reached = 0;
    for (const node& n : g.nodes)
        reached += fixpoint(g, n).size();
    std::printf("%7d nodes, fixpoint closure for every node (for comparison): %.3f s "
                "(%zu nodes reached)\n",
                count, seconds_since(start), reached);
}

} // namespace

int main() {
    measure(10000);
    measure(100000);
    measure_fixpoint(10000);
    return 0;
}
