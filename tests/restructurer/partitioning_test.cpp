// Partitioning and compression: groups of nodes that reach the same leaves,
// checked on small graphs and against the plain fixpoint method on random
// graphs with cycles; compressed numbering, edges and representatives.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace test_support;

namespace {
// The method as first described: one reachability fixpoint over all edges per
// node that is not a leaf, keyed by the leaves reached.
std::set<node_set> reference_partitions(const graph& g) {
    std::map<node_set, node_set> table;
    for (const node& n : g.nodes) {
        if (g.leaves.count(n)) continue;
        node_set s{n};
        for (;;) {
            const node_set before = s;
            for (const edge& e : g.edges)
                if (s.count(e.from)) s.insert(e.to);
            if (s == before) break;
        }
        node_set key;
        for (const node& r : s)
            if (g.leaves.count(r)) key.insert(r);
        table[key].insert(n);
    }
    std::set<node_set> result;
    for (const auto& entry : table)
        result.insert(entry.second);
    return result;
}

std::vector<std::vector<int>> ids_of_groups(const std::set<node_set>& groups) {
    std::vector<std::vector<int>> result;
    for (const node_set& g : groups)
        result.push_back(ids(g));
    return result;
}

// Units 0..count-1; definitions become leaves; arcs run used -> user.
graph make_graph(std::vector<node>& v, const std::vector<bool>& definition,
                 std::vector<std::pair<int, int>> arcs) {
    graph g;
    for (std::size_t i = 0; i < definition.size(); ++i) {
        v.push_back(unit(static_cast<int>(i), "u:" + std::to_string(i), definition[i]));
        g.nodes.insert(v.back());
    }
    for (auto [a, b] : arcs)
        g.edges.insert(edge(v[a], v[b]));
    g.construct_leaves();
    return g;
}

node implementation_file(int id, const std::string& path, const std::vector<node>& members) {
    auto* file = make_node<Implement>(path);
    file->members = members;
    return node(id, file);
}
} // namespace

TEST(Partitioning, GroupsByReachedLeaves) {
    std::vector<node> v;
    // d1 (0) and d2 (1) reach f (3) and g (4); d3 (2) reaches only f; d4 (5)
    // reaches nothing; d5 (6) reaches g only through d2's users.
    graph g = make_graph(v, {false, false, false, true, true, false, false},
                         {{0, 3}, {0, 4}, {1, 3}, {1, 4}, {2, 3}, {6, 1}});
    g.partitioning();
    // Node 6 reaches 1 and through it 3 and 4: the same leaves as 0 and 1.
    EXPECT_EQ(ids_of_groups(g.partitions), (std::vector<std::vector<int>>{{0, 1, 6}, {2}, {5}}));

    std::vector<node> w;
    graph leaves_only = make_graph(w, {true, true}, {{0, 1}});
    leaves_only.partitioning();
    EXPECT_TRUE(leaves_only.partitions.empty());
}

TEST(Partitioning, ProgressLineOnBothStreams) {
    graph empty;
    switches on{"progress"};
    std::ostringstream err;
    std::streambuf* saved = std::cerr.rdbuf(err.rdbuf());
    captured_stdout out;
    empty.partitioning();
    std::cerr.rdbuf(saved);
    EXPECT_EQ(out.text(), "progress:... partitioned\n");
    EXPECT_EQ(err.str(), std::string(80, ' ') + "\rprogress:... partitioned\r");
    EXPECT_TRUE(empty.partitions.empty());
}

TEST(Partitioning, MatchesFixpointOnRandomGraphsWithCycles) {
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + static_cast<int>(random() % 30);
        std::vector<bool> definition(count);
        for (int i = 0; i < count; ++i)
            definition[i] = random() % 4 == 0;
        std::vector<std::pair<int, int>> arcs;
        const int arc_count = static_cast<int>(random() % (2 * count + 1));
        for (int i = 0; i < arc_count; ++i)
            arcs.emplace_back(random() % count, random() % count); // self edges and cycles too
        std::vector<node> v;
        graph g = make_graph(v, definition, arcs);
        // Edge ends that are no longer nodes still carry reachability.
        if (round % 4 == 0 && count > 2) g.nodes.erase(v[random() % count]);
        if (round % 7 == 0) g.partitions.insert(node_set{unit(500, "old:0")}); // kept, not emptied
        std::set<node_set> expected = reference_partitions(g);
        if (round % 7 == 0) expected.insert(node_set{unit(500, "old:0")});
        g.partitioning();
        ASSERT_EQ(ids_of_groups(g.partitions), ids_of_groups(expected)) << "round " << round;
    }
}

TEST(Compression, GroupsBecomeNumberedHeaderNodesAndEdgesInsideAGroupGo) {
    graph g;
    node d1 = unit(0, "type:a"), d2 = unit(1, "type:b"), d3 = unit(2, "struct:c");
    node def = unit(3, "func:lonely", true, 1, 2, "/x.c");
    node f1 = implementation_file(10, "m/f1.cpp.c", {unit(20, "func:f", true)});
    node f2 = implementation_file(11, "n/f2.cpp.c", {unit(21, "func:g", true)});
    g.nodes = {d1, d2, d3, def, f1, f2};
    g.edges = {edge(d1, d2), // inside one group: dropped
               edge(d1, f1), // group -> file
               edge(f1, d3), // file -> group
               edge(d3, f2), edge(d2, f2), edge(def, f1), edge(d3, def)};
    g.partitions = {{d1, d2}, {d3}};
    g.compressing_graph();
    const graph& c = *g.compressed;
    EXPECT_EQ(ids(c.nodes), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(as_header(*c.nodes.find(node(0, nullptr)))->members, (node_set{d1, d2}));
    EXPECT_EQ(c.nodes.find(node(2, nullptr))->object, f1.object);
    EXPECT_EQ(c.nodes.find(node(3, nullptr))->object, f2.object);
    std::vector<std::pair<int, int>> arcs;
    for (const edge& e : c.edges)
        arcs.emplace_back(e.from.id, e.to.id);
    EXPECT_EQ(arcs, (std::vector<std::pair<int, int>>{{0, 2}, {0, 3}, {1, 3}, {2, 1}}));
    EXPECT_EQ(g.representative.at(d2).id, 0);
    EXPECT_EQ(g.representative.at(f2).id, 3);
    // The definition got a default entry while its edges were looked at.
    ASSERT_TRUE(g.representative.count(def));
    EXPECT_EQ(g.representative.at(def).object, nullptr);
    EXPECT_TRUE(c.leaves.empty());
}

TEST(Compression, HeaderNodesHoldingFilesAndEmptyInput) {
    graph g;
    auto* header = make_node<Header>("file:h");
    node f = implementation_file(7, "a.cpp.c", {});
    header->members = {f, unit(8, "type:t")};
    node h(2, header);
    g.nodes = {h};
    g.compressing_graph();
    // One compressed node per implementation file the header holds, with the
    // header's own object.
    ASSERT_EQ(g.compressed->nodes.size(), 1u);
    EXPECT_EQ(g.compressed->nodes.begin()->object, header);
    EXPECT_EQ(g.representative.at(h).id, 0);

    graph empty;
    empty.compressing_graph();
    ASSERT_TRUE(empty.compressed);
    EXPECT_TRUE(empty.compressed->nodes.empty());
}
