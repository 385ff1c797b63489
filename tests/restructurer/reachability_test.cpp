// Reachability, out-degree and cycle counting, checked on small graphs and
// against the plain fixpoint and closure definitions on random graphs.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace test_support;

namespace {

// Straightforward definitions of the queries, for cross-checking.
node_set reference_dominate_set(const graph& g, const node& n) {
    node_set s{n};
    for (;;) {
        node_set before = s;
        for (const edge& e : g.edges)
            if (s.count(e.from)) s.insert(e.to);
        if (s == before) return s;
    }
}

node_set reference_actual(const graph& g, const node& n) {
    if (g.leaves.count(n)) return {n};
    node_set result;
    for (const node& r : reference_dominate_set(g, n))
        if (g.leaves.count(r)) result.insert(r);
    return result;
}

std::vector<int> reference_cycle_ids(const graph& g) {
    std::vector<int> ids;
    for (const node& n : g.nodes) {
        node_set reached = reference_dominate_set(g, n);
        for (const edge& e : g.edges)
            if (e.to.id == n.id && reached.count(e.from)) {
                ids.push_back(n.id);
                break;
            }
    }
    return ids;
}

std::vector<int> ids_of(const node_set& s) {
    std::vector<int> ids;
    for (const node& n : s)
        ids.push_back(n.id);
    return ids;
}

graph small_graph(std::vector<node>& v, int count, std::vector<std::pair<int, int>> arcs) {
    graph g;
    for (int i = 0; i < count; ++i) {
        v.push_back(unit(i, "u:" + std::to_string(i), i % 3 == 0));
        g.nodes.insert(v.back());
    }
    for (auto [a, b] : arcs)
        g.edges.insert(edge(v[a], v[b]));
    return g;
}

} // namespace

TEST(Reachability, DominateSetsOfCyclesSelfLoopsAndLeaves) {
    std::vector<node> v;
    // 0->1->2, 2->1 (cycle), 3 alone, 4 self-loop, 4->0
    graph g = small_graph(v, 5, {{0, 1}, {1, 2}, {2, 1}, {4, 4}, {4, 0}});
    EXPECT_EQ(ids_of(g.dominate_set(v[3])), (std::vector<int>{3}));
    EXPECT_EQ(ids_of(g.dominate_set(v[1])), (std::vector<int>{1, 2}));
    EXPECT_EQ(ids_of(g.dominate_set(v[4])), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(g.count_cycle_nodes(), 3); // 1, 2 and the self-loop 4

    // Leaves: a leaf's own set is the leaf alone, even when it reaches others.
    g.leaves = {v[0], v[2]};
    EXPECT_EQ(ids_of(g.actual_dominate_set(v[0])), (std::vector<int>{0}));
    EXPECT_EQ(ids_of(g.actual_dominate_set(v[4])), (std::vector<int>{0, 2}));
    EXPECT_TRUE(g.actual_dominate_set(v[3]).empty());

    EXPECT_EQ(g.out_degree(v[4], g.edges), 1); // the self-loop is not counted
    EXPECT_EQ(g.out_degree(v[3], g.edges), 0);
    g.edges.insert(edge(v[4], v[3]));
    EXPECT_EQ(g.out_degree(v[4], g.edges), 2);
}

TEST(Reachability, CycleCountFillsAdjacencyAndTracesCycles) {
    std::vector<node> v;
    graph g = small_graph(v, 4, {{0, 1}, {1, 0}, {2, 3}});
    switches on{"debug cycle"};
    captured_stdout out;
    EXPECT_EQ(g.count_cycle_nodes(), 2);
    EXPECT_EQ(out.text(), "debug cycle:0u:0def:[0,0]=>[0,0]\ndebug cycle:1u:1dcl:[0,0]=>[0,0]\n");
    EXPECT_EQ(ids_of(g.successors[v[2]]), (std::vector<int>{3}));
    EXPECT_EQ(ids_of(g.predecessors[v[0]]), (std::vector<int>{1}));
    EXPECT_EQ(g.predecessors.size(), 4u); // every node has an entry
    EXPECT_EQ(g.successors.size(), 3u);

    graph empty;
    EXPECT_EQ(empty.count_cycle_nodes(), 0);
    EXPECT_TRUE(empty.dominate_set(node(0, nullptr)).size() == 1);
}

TEST(Reachability, MatchesReferenceOnRandomGraphs) {
    std::mt19937 random(12345);
    for (int round = 0; round < 60; ++round) {
        const int count = 1 + static_cast<int>(random() % 40);
        const int arcs = static_cast<int>(random() % (3 * count + 1));
        graph g;
        std::vector<node> v;
        for (int i = 0; i < count; ++i) {
            // Sparse, partly negative numbers, as made-up nodes can have.
            v.push_back(unit(i * 3 - 5, "u:" + std::to_string(i), random() % 3 == 0));
            g.nodes.insert(v.back());
        }
        for (int i = 0; i < arcs; ++i) {
            g.edges.insert(edge(v[random() % count], v[random() % count]));
            // Now and then an edge towards a node that left the node set.
            if (random() % 10 == 0) g.edges.insert(edge(v[random() % count], unit(200 + i, "x:x")));
        }
        for (const node& n : g.nodes)
            if (n.is_define()) g.leaves.insert(n);
        if (round % 5 == 0 && !v.empty()) g.nodes.erase(v[0]); // edges may outlive nodes

        for (const node& n : v) {
            ASSERT_EQ(ids_of(g.dominate_set(n)), ids_of(reference_dominate_set(g, n)));
            ASSERT_EQ(ids_of(g.actual_dominate_set(n)), ids_of(reference_actual(g, n)));
            int degree = 0;
            for (const edge& e : g.edges)
                degree += e.from.id == n.id && e.to.id != n.id;
            ASSERT_EQ(g.out_degree(n, g.edges), degree);
        }
        switches on{"debug cycle"};
        captured_stdout out;
        const int cycles = g.count_cycle_nodes();
        const std::vector<int> expected = reference_cycle_ids(g);
        ASSERT_EQ(cycles, static_cast<int>(expected.size()));
        std::string lines;
        for (int id : expected) {
            node n = *g.nodes.find(node(id, nullptr));
            lines += "debug cycle:" + std::to_string(id) + n.label() + "\n";
        }
        ASSERT_EQ(out.text(), lines);
    }
}
