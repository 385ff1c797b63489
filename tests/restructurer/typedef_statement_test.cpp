// `typedef struct S {...} T;`: cutting the statement into the structure and
// the typedef, and joining the two again where no source needs the typedef
// alone.
#include "header/graph.h"
#include "contract/typedef_statement.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace test_support;

TEST(TypedefStatement, NamedStructuresWithPlainDeclaratorsAreCut) {
    typedef_statement s;
    // Forward declarations written ahead of the text stay with the structure;
    // several declarators, pointers and qualifiers go to the typedef.
    ASSERT_TRUE(
        split_typedef_statement("struct L;\nstruct M ;\n"
                                "typedef struct S {\n  struct L *l;\n  struct { int a; } in;\n"
                                "} T, * const TP;\n",
                                s));
    EXPECT_EQ(s.aggregate, "struct:S");
    EXPECT_EQ(s.definition, "struct L;\nstruct M ;\n"
                            "struct S {\n  struct L *l;\n  struct { int a; } in;\n};\n");
    EXPECT_EQ(s.type_names, "typedef struct S T, * const TP;\n");
    EXPECT_EQ(s.names, (std::vector<std::string>{"type:T", "type:TP"}));
    // Attributes of the structure itself (before the tag) stay with it; a
    // brace inside a literal does not end the body.
    ASSERT_TRUE(split_typedef_statement(
        "typedef union __attribute__((aligned(8))) U { char c[2]; int i; } V;", s));
    EXPECT_EQ(s.aggregate, "union:U");
    EXPECT_EQ(s.definition, "union __attribute__((aligned(8))) U { char c[2]; int i; };\n");
    EXPECT_EQ(s.type_names, "typedef union U V;\n");
    ASSERT_TRUE(split_typedef_statement(
        "typedef struct Q { int x __attribute__((section(\"}\"))); } Q;\n", s));
    EXPECT_EQ(s.type_names, "typedef struct Q Q;\n");
}

TEST(TypedefStatement, WhatTheCutWouldChangeStaysWhole) {
    typedef_statement s;
    // Attributes after the body shape the structure; an array needs it complete.
    EXPECT_FALSE(
        split_typedef_statement("typedef struct S { int a; } __attribute__((packed)) T;", s));
    EXPECT_FALSE(split_typedef_statement("typedef struct S { int a; } A[1];", s));
    // No tag to declare it by; not a typedef; an enumeration.
    EXPECT_FALSE(split_typedef_statement("typedef struct { int a; } T;", s));
    EXPECT_FALSE(split_typedef_statement("struct S { int a; } s;", s));
    EXPECT_FALSE(split_typedef_statement("typedef enum E { A, B } E;", s));
    // A function pointer declarator names other types; more text after the ";";
    // a directive inside the text; a body that does not close.
    EXPECT_FALSE(split_typedef_statement("typedef struct S { int a; } T, (*F)(size_t);", s));
    EXPECT_FALSE(split_typedef_statement("typedef struct S { int a; } T; int x;", s));
    EXPECT_FALSE(split_typedef_statement("typedef struct S {\n#pragma pack(1)\n int a; } T;", s));
    EXPECT_FALSE(split_typedef_statement("typedef struct S { int a; T;", s));
}

namespace {
node header_unit(graph& g, int id, const std::string& name, int begin, int end) {
    node n = unit(id, name, false, begin, end, "/p/a.h");
    as_unit(n)->aggr = name.compare(0, 7, "struct:") == 0;
    g.nodes.insert(n);
    return n;
}
} // namespace

TEST(TypedefStatements, TheTypedefJoinsItsStructureUnlessASourceNeedsItAlone) {
    // Whether main needs the typedef without the structure, and whether the
    // statement takes one line (cut apart, it would save main nothing and cost
    // the definition's source a line).
    struct run {
        bool alone, one_line;
    };
    for (const run r : {run{false, false}, run{true, false}, run{true, true}}) {
        const std::string whole = r.one_line ? "typedef struct S { size_t n; } T;\n"
                                             : "typedef struct S {\n  size_t n;\n} T;\n";
        graph g;
        node size = header_unit(g, 0, "type:size_t", 1, 1);
        node s = header_unit(g, 1, "struct:S", 3, 5);
        node t = header_unit(g, 2, "type:T", 3, 5);
        node proto = header_unit(g, 3, "func:get", 6, 6);
        node whole_user = unit(4, "func:get", true, 1, 1, "/p/a.cpp.c");
        node pointer_user = unit(5, "func:main", true, 1, 1, "/p/b.cpp.c");
        g.nodes.insert(whole_user);
        g.nodes.insert(pointer_user);
        g.unit_texts[s.id] = whole;
        g.unit_texts[t.id] = "typedef struct S T;\n";
        // get's prototype names T; the definition needs S whole. main calls
        // get (the prototype), and through it needs T, only where `alone`.
        g.edges = {edge(size, s), edge(t, proto), edge(s, whole_user), edge(t, whole_user),
                   edge(proto, whole_user)};
        if (r.alone) g.edges.insert(edge(proto, pointer_user));
        g.construct_leaves();
        g.join_typedef_statements();
        if (r.alone && !r.one_line) {
            EXPECT_EQ(g.unit_texts.at(s.id), "struct S {\n  size_t n;\n};\n");
            EXPECT_EQ(g.unit_texts.at(t.id), "typedef struct S T;\n");
            EXPECT_TRUE(g.nodes.count(t));
        } else {
            // One statement again: the typedef's users use the structure.
            EXPECT_EQ(g.unit_texts.at(s.id), whole);
            EXPECT_FALSE(g.nodes.count(t));
            EXPECT_FALSE(g.unit_texts.count(t.id));
            arc_list expected{{0, 1}, {1, 3}, {1, 4}, {3, 4}};
            if (r.alone) expected.emplace_back(3, 5);
            EXPECT_EQ(arcs(g.edges), expected) << r.alone << r.one_line;
        }
    }
}
