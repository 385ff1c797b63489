// The statistics block and the dot dump, under different switch sets.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {
struct two_node_graph {
    graph g;
    two_node_graph() {
        node a(0, make_node<Header>("L0"));
        node b = unit(1, "func:f", true, 2, 4, "f.c");
        g.nodes = {a, b};
        g.edges.insert(edge(a, b));
        g.leaves.insert(b);
    }
};
} // namespace

TEST(Statistics, GraphDumpWithoutHeaderLine) {
    two_node_graph t;
    switches on{"debug count graph"};
    captured_stdout out;
    t.g.count();
    EXPECT_EQ(out.text(), "debug count graph:digraph G {\n"
                          "\"0set of :L0\";\n"
                          "\"1func:fdef:f.c[2,4]=>[0,0]\";\n"
                          "\"0set of :L0\"->\"1func:fdef:f.c[2,4]=>[0,0]\";\n"
                          "}\n");
}

TEST(Statistics, EverySwitchPrintsItsLineInTheFixedOrder) {
    two_node_graph t;
    node loop = unit(2, "type:t", false, 1, 1, "t.h");
    t.g.nodes.insert(loop);
    t.g.edges.insert(edge(loop, loop));
    t.g.edges.insert(edge(loop, *t.g.nodes.begin()));
    switches on{"debug count",
                "debug count size_of_nodes",
                "debug count size_of_edges",
                "debug count size_of_leaves",
                "debug count define",
                "debug count declare",
                "debug count file",
                "debug count cycle",
                "debug cycle",
                "debug count filename",
                "debug count set",
                "debug count outdegree"};
    captured_stdout out;
    t.g.count();
    EXPECT_EQ(out.text(), "debug count:\n\n"
                          "debug count size_of_nodes:3\n"
                          "debug count size_of_edges:3\n"
                          "debug count size_of_leaves:1\n"
                          "debug count define:1\n"
                          "debug count declare:1\n"
                          "debug count file:0\n"
                          "debug cycle:2type:tdcl:t.h[1,1]=>[0,0]\n"
                          "debug count cycle:1\n"
                          "debug count set:1\n"
                          "out degree:1\n"
                          "out degree:0\n"
                          "out degree:1\n");
}

TEST(Statistics, NothingWithoutSwitchesAndEmptyGraphDump) {
    two_node_graph t;
    {
        captured_stdout out;
        t.g.count();
        EXPECT_EQ(out.text(), "");
    }
    graph empty;
    switches on{"debug count graph", "debug count size_of_nodes"};
    captured_stdout out;
    empty.count();
    EXPECT_EQ(out.text(), "debug count graph:digraph G {\n}\ndebug count size_of_nodes:0\n");
}

TEST(Statistics, NullHandlesAreReportedAndSkipped) {
    two_node_graph t;
    t.g.nodes.insert(node(5, nullptr));
    captured_stdout out;
    EXPECT_EQ(t.g.count_node("define"), 1);
    EXPECT_EQ(t.g.count_node("set"), 1);
    EXPECT_EQ(out.text(), "Warning, NULL nodes\nWarning, NULL nodes\n");
}
