// The cleaning passes on small hand-made graphs, and the removal of unused
// declarations against its closure definition on random graphs.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <random>

using namespace test_support;

namespace {

// A graph of the given units (numbered in order) and edges between them.
struct small {
    graph g;
    std::vector<node> v;
    small(std::vector<node> units, arc_list links) : v(std::move(units)) {
        for (const node& n : v)
            g.nodes.insert(n);
        for (auto [a, b] : links)
            g.edges.insert(edge(v[a], v[b]));
    }
};
} // namespace

TEST(Cleaning, SystemDefinitionsAndImplicitDeclarations) {
    clean_options options;
    temp_dir dir;
    const std::string sys = dir.write("sys/s.h", "");
    const std::string user = dir.write("user/u.c", "");
    graph::user_modules = {dir.path() + "/user"};
    small s({unit(0, "func:used_sys", true, 1, 2, sys), unit(1, "func:unused_sys", true, 3, 4, sys),
             unit(2, "func:main", true, 1, 9, user), unit(3, "func:printf", false, 0, 0, sys),
             unit(4, "type:builtin", false, 0, 0, ""), unit(5, "var:x", false, 0, 0, user),
             unit(6, "func:lonely", true, 1, 2, user)},
            {{0, 2}, {1, 1}, {3, 2}, {4, 2}, {5, 2}});
    s.g.remove_system_definitions();
    EXPECT_EQ(ids(s.g.nodes), (std::vector<int>{0, 2, 4, 6}));
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 2}, {4, 2}}));
}

// A definition keeps the declarations of its own name (its prototype), even
// when nothing else of its unit uses them; other declarations stay unused.
TEST(Cleaning, DefinitionsKeepTheirOwnDeclarations) {
    small s(
        {unit(0, "func:get", false, 1, 1, "/p/get.h"), unit(1, "func:get", true, 2, 2, "/p/get.c"),
         unit(2, "var:dir", false, 3, 3, "/p/get.h"), unit(3, "var:dir", true, 4, 4, "/p/get.c"),
         unit(4, "type:t", false, 5, 5, "/p/get.h"), unit(5, "func:other", false, 6, 6, "/p/get.h"),
         unit(6, "type:t", true, 7, 7, "/p/get.c")},
        {});
    s.g.keep_own_declarations();
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 1}, {2, 3}}));
    s.g.construct_leaves();
    s.g.remove_unused_declarations();
    EXPECT_EQ(ids(s.g.nodes), (std::vector<int>{0, 1, 2, 3, 6}));
}

// A type of the source's own text used by a header unit: the edge goes to the
// source's definitions the header unit reaches instead, so the type follows
// the source's code but not the header unit into other sources.
TEST(Cleaning, TypesOfTheSourceStayWithItsDefinitions) {
    small s({unit(0, "struct:lj", false, 2, 2, "/p/ldo.cpp.c"),
             unit(1, "type:state_T", false, 3, 3, "/p/state.h"),
             unit(2, "func:run_proto", false, 4, 4, "/p/state.h"),
             unit(3, "func:run", true, 5, 9, "/p/ldo.cpp.c"),
             unit(4, "func:other", true, 10, 12, "/p/ldo.cpp.c"),
             unit(5, "struct:local", false, 13, 13, "/p/ldo.cpp.c"),
             unit(6, "type:local_T", false, 14, 14, "/p/ldo.cpp.c")},
            {{0, 1}, {1, 2}, {2, 3}, {0, 4}, {5, 6}, {6, 4}});
    s.g.keep_source_types_own();
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 3}, {0, 4}, {1, 2}, {2, 3}, {5, 6}, {6, 4}}));
}

TEST(Cleaning, SelfCyclesAreErasedWithTraces) {
    small s({unit(0, "func:rec", true), unit(1, "func:other", true)}, {{0, 0}, {0, 1}, {1, 1}});
    switches on{"debug remove_cycle_edges"};
    captured_stdout out;
    s.g.remove_self_cycles();
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 1}}));
    EXPECT_EQ(out.text(), "debug remove_cycle_edges:ERASING\n"
                          "debug remove_cycle_edges:\"0func:recdef:[0,0]=>[0,0]\"->"
                          "\"0func:recdef:[0,0]=>[0,0]\"\n"
                          "debug remove_cycle_edges:ERASING\n"
                          "debug remove_cycle_edges:\"1func:otherdef:[0,0]=>[0,0]\"->"
                          "\"1func:otherdef:[0,0]=>[0,0]\"\n");
}

TEST(Cleaning, FunctionTypesAreBypassed) {
    // p is used by f, f by s: afterwards s uses p directly.
    small one({unit(0, "type:p"), unit(1, "fct:f"), unit(2, "func:s", true)}, {{0, 1}, {1, 2}});
    one.g.remove_fcts();
    EXPECT_EQ(ids(one.g.nodes), (std::vector<int>{0, 2}));
    EXPECT_EQ(arcs(one.g.edges), (arc_list{{0, 2}}));

    // f and p use each other: the bypass makes p use itself, which the next
    // self-cycle pass erases.
    small mutual({unit(0, "type:p"), unit(1, "fct:f")}, {{0, 1}, {1, 0}});
    mutual.g.remove_fcts();
    EXPECT_EQ(arcs(mutual.g.edges), (arc_list{{0, 0}}));
    mutual.g.remove_self_cycles();
    EXPECT_TRUE(mutual.g.edges.empty());

    // A chain: s uses fct:1, which uses fct:2, which uses p and q. The whole
    // chain is bypassed and no edge is left at a removed unit.
    small chain({unit(0, "type:p"), unit(1, "fct:1"), unit(2, "fct:2"), unit(3, "func:s", true),
                 unit(4, "type:q")},
                {{2, 1}, {0, 2}, {1, 3}, {4, 2}});
    chain.g.remove_fcts();
    EXPECT_EQ(ids(chain.g.nodes), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(arcs(chain.g.edges), (arc_list{{0, 3}, {4, 3}}));
    // The forward pass keeps the edges it found for the text extraction,
    // which sees the bypassed edges only.
    chain.g.remove_forward_edges();
    EXPECT_EQ(chain.g.edges_before_forward_removal,
              (std::vector<std::pair<int, int>>{{0, 3}, {4, 3}}));
    EXPECT_TRUE(chain.g.edge_before_forward_removal(0, 3));
    EXPECT_FALSE(chain.g.edge_before_forward_removal(0, 2));

    // The same chain the other way round (fct:2 uses fct:1).
    small reverse({unit(0, "type:p"), unit(1, "fct:1"), unit(2, "fct:2"), unit(3, "func:s", true)},
                  {{0, 1}, {1, 2}, {2, 3}});
    reverse.g.remove_fcts();
    EXPECT_EQ(arcs(reverse.g.edges), (arc_list{{0, 3}}));
}

TEST(Cleaning, ForwardEdgesBetweenAggregateAndTypeName) {
    // struct:list and type:list_t use each other; func:f and type:other use list_t.
    small s({unit(0, "struct:list"), unit(1, "type:list_t"), unit(2, "func:f", true),
             unit(3, "type:other")},
            {{0, 1}, {1, 0}, {1, 2}, {1, 3}});
    as_unit(s.v[0])->aggr = true;
    switches on{"debug remove_cycle_edges"};
    captured_stdout out;
    s.g.remove_forward_edges();
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 2}, {0, 3}, {1, 0}, {1, 2}, {1, 3}}));
    const std::string list = "\"0struct:listdcl:[0,0]=>[0,0]\"";
    EXPECT_EQ(out.text(), "debug remove_cycle_edges:Removed forward edges\n"
                          "debug remove_cycle_edges:" +
                              list +
                              "->\"1type:list_tdcl:[0,0]=>[0,0]\";\n\n"
                              "debug remove_cycle_edges:insert edge:\n"
                              "debug remove_cycle_edges:" +
                              list +
                              "->\"2func:fdef:[0,0]=>[0,0]\"\n"
                              "debug remove_cycle_edges:insert edge:\n"
                              "debug remove_cycle_edges:" +
                              list + "->\"3type:otherdcl:[0,0]=>[0,0]\"\n");

    // Without the back edge nothing happens.
    small one_way({unit(0, "union:u"), unit(1, "type:u_t"), unit(2, "func:g", true)},
                  {{0, 1}, {1, 2}});
    as_unit(one_way.v[0])->aggr = true;
    one_way.g.remove_forward_edges();
    EXPECT_EQ(arcs(one_way.g.edges), (arc_list{{0, 1}, {1, 2}}));
}

TEST(Cleaning, TagOnlyUsesLoseTheirEdges) {
    // struct:s and type:s_t use each other; func:whole uses s_t and needs s
    // whole, func:tag uses s_t and needs only the tag, func:ptr names struct s
    // behind a pointer (edge 0->4, marked), func:cb uses s through a function
    // type whose use needs only the tag.
    small s({unit(0, "struct:s"), unit(1, "type:s_t"), unit(2, "func:whole", true),
             unit(3, "func:tag", true), unit(4, "func:ptr"), unit(5, "fct:f"), unit(6, "func:cb")},
            {{0, 1}, {1, 0}, {1, 2}, {1, 3}, {0, 4}, {0, 5}, {5, 6}});
    as_unit(s.v[0])->aggr = true;
    s.g.tag_only_edges = {edge(s.v[0], s.v[3]), edge(s.v[0], s.v[4]), edge(s.v[0], s.v[5])};
    s.g.remove_fcts();
    s.g.remove_forward_edges();
    s.g.drop_tag_only_edges();
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{0, 2}, {1, 0}, {1, 2}, {1, 3}}));
    // The users of dropped edges to a named aggregate get its forward declaration.
    EXPECT_EQ(ids(s.g.tag_only_aggregates[4]), (std::vector<int>{0}));
    EXPECT_EQ(ids(s.g.tag_only_aggregates[6]), (std::vector<int>{0}));
    EXPECT_FALSE(s.g.tag_only_aggregates.count(3)); // the typedef declares the tag

    // A type name that needs only the tag passes nothing on to its users.
    small pair({unit(0, "struct:s"), unit(1, "type:s_t"), unit(2, "func:f", true)},
               {{0, 1}, {1, 0}, {1, 2}});
    as_unit(pair.v[0])->aggr = true;
    pair.g.tag_only_edges = {edge(pair.v[0], pair.v[1])};
    pair.g.remove_forward_edges();
    pair.g.drop_tag_only_edges();
    EXPECT_EQ(arcs(pair.g.edges), (arc_list{{1, 0}, {1, 2}}));

    // A use through a function type that needs the type whole stays whole.
    small whole({unit(0, "struct:s"), unit(1, "fct:f"), unit(2, "func:g"), unit(3, "func:h")},
                {{0, 1}, {1, 2}, {0, 3}, {1, 3}});
    as_unit(whole.v[0])->aggr = true;
    whole.g.tag_only_edges = {edge(whole.v[0], whole.v[3])};
    whole.g.remove_fcts();
    whole.g.drop_tag_only_edges();
    EXPECT_EQ(arcs(whole.g.edges), (arc_list{{0, 2}, {0, 3}}));
}

TEST(Cleaning, UnusedDeclarationsGoTransitively) {
    // d1 is used by d2, which nothing uses; d3 is used by the definition f
    // through d4; the leaf itself is never removed.
    small s({unit(0, "type:d1"), unit(1, "type:d2"), unit(2, "type:d3"), unit(3, "type:d4"),
             unit(4, "func:f", true)},
            {{0, 1}, {2, 3}, {3, 4}});
    s.g.construct_leaves();
    switches on{"debug remove_unused"};
    captured_stdout out;
    s.g.remove_unused_declarations();
    EXPECT_EQ(ids(s.g.nodes), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(arcs(s.g.edges), (arc_list{{2, 3}, {3, 4}}));
    EXPECT_EQ(out.text(), "debug remove_unused:0type:d1dcl:[0,0]=>[0,0]\n"
                          "debug remove_unused:1type:d2dcl:[0,0]=>[0,0]\n");
}

TEST(Cleaning, UnusedDeclarationsMatchClosureDefinitionOnRandomGraphs) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const int count = 1 + static_cast<int>(random() % 30);
        graph fast, plain;
        std::vector<node> v;
        for (int i = 0; i < count; ++i)
            v.push_back(unit(i, "u:" + std::to_string(i), random() % 4 == 0));
        for (const node& n : v)
            fast.nodes.insert(n);
        for (int i = static_cast<int>(random() % (2 * count + 1)); i > 0; --i)
            fast.edges.insert(edge(v[random() % count], v[random() % count]));
        fast.construct_leaves();
        plain.nodes = fast.nodes;
        plain.edges = fast.edges;
        plain.leaves = fast.leaves;

        fast.remove_unused_declarations();
        // The plain rule: a declaration goes when it reaches no leaf.
        for (const node& n : node_set(plain.nodes))
            if (!n.is_define() && plain.actual_dominate_set(n).empty()) plain.nodes.erase(n);
        ASSERT_EQ(ids(fast.nodes), ids(plain.nodes));
        for (const edge& e : fast.edges)
            ASSERT_TRUE(fast.nodes.count(e.from) && fast.nodes.count(e.to));
    }
}
