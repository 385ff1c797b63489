// Times graph::partitioning and graph::compressing_graph on synthetic graphs of
// 25,000 to 200,000 nodes with one leaf (definition) per hundred nodes and five
// edges per node. Edges mostly run towards higher numbers within a window (a
// unit used by units defined after it); one in fifty runs back over a few
// numbers, which makes short cycles.
#include "header/graph.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {
double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void measure(int count) {
    std::mt19937 random(7);
    graph g;
    std::vector<node> v;
    v.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto* unit = make_node<ProgramUnit>("u:" + std::to_string(i));
        unit->declaration = i % 100 != 99;
        v.emplace_back(i, unit);
        g.nodes.insert(g.nodes.end(), v.back());
    }
    const int window = 3000;
    while (g.edges.size() < static_cast<std::size_t>(count) * 5) {
        const int a = static_cast<int>(random() % count);
        if (random() % 50 == 0) {
            const int b = std::min(count - 1, a + 1 + static_cast<int>(random() % 4));
            g.edges.insert(edge(v[b], v[a]));
        } else {
            const int b = std::min(count - 1, a + 1 + static_cast<int>(random() % window));
            g.edges.insert(edge(v[a], v[b]));
        }
    }
    g.construct_leaves();

    auto start = std::chrono::steady_clock::now();
    g.partitioning();
    const double partition_time = seconds_since(start);
    start = std::chrono::steady_clock::now();
    g.compressing_graph();
    const double compress_time = seconds_since(start);
    std::printf("%7d nodes %5zu leaves %8zu edges: partitioning %.3f s (%zu groups), "
                "compression %.3f s (%zu nodes, %zu edges), total %.3f s\n",
                count, g.leaves.size(), g.edges.size(), partition_time, g.partitions.size(),
                compress_time, g.compressed->nodes.size(), g.compressed->edges.size(),
                partition_time + compress_time);
}
} // namespace

int main() {
    for (int count : {25000, 50000, 100000, 200000})
        measure(count);
    return 0;
}
