#include "names.h"
#include "queries.h"
#include "ta_builder.h"
#include "ta_fixture.h"

namespace {

using Bookkeeping = extractor_test;

// main.c includes a.h twice; a.h's first copy includes b.h. other.c, a second
// compilation in the same dump, includes a.h once.
std::string two_compilations() {
    ta_text t;
    t.n("C", "cScopeCompil", "name = \"main.c\"")
        .n("M", "cScopeFile", "name = \"main.c\"")
        .n("H1", "cScopeFile", "name = \"a.h\"")
        .n("H2", "cScopeFile", "name = \"a.h\"")
        .n("N", "cScopeFile", "name = \"b.h\"")
        .n("s1", "cAggrType", "name = \"s\" type = struct")
        .n("s2", "cAggrType", "name = \"s\" type = struct")
        .n("v", "cObject", "name = \"v\"")
        .n("w", "cObject", "name = \"w\"")
        .n("f", "cFunction", "name = \"f\" end = 9.1")
        .n("b", "cBlock", "end = 12.3")
        .n("l", "cObject", "name = \"l\" end = 10.40")
        .n("C2", "cScopeCompil", "name = \"other.c\"")
        .n("M2", "cScopeFile", "name = \"other.c\"")
        .n("H3", "cScopeFile", "name = \"a.h\"")
        .n("s3", "cAggrType", "name = \"s\" type = struct")
        .son("C", "M")
        .son("M", "H1")
        .son("M", "H2")
        .son("H1", "N")
        .son("H1", "s1")
        .son("H2", "s2")
        .son("M", "v")
        .son("N", "w")
        .son("M", "f")
        .son("f", "b")
        .son("b", "l")
        .son("C2", "M2")
        .son("M2", "H3")
        .son("H3", "s3");
    return t.str();
}

TEST_F(Bookkeeping, ChildrenOfAScopeFileGetItsNameAndTheirCounter) {
    load(two_compilations());
    // A header entered twice in one compilation: its declarations keep the
    // name they have in a compilation that enters it once.
    EXPECT_EQ(node(at("s1")).counter, 1);
    EXPECT_EQ(node(at("s2")).counter, 1);
    EXPECT_EQ(file_of(at("s1")), "a.h");
    EXPECT_EQ(get_name("struct", at("s2")), "struct:s");
    EXPECT_EQ(node(at("s3")).counter, 1);
    EXPECT_EQ(get_name("struct", at("s3")), "struct:s");
    EXPECT_EQ(node(at("v")).counter, 1);
    EXPECT_EQ(node(at("w")).counter, 1);
    EXPECT_EQ(file_of(at("w")), "b.h");
    EXPECT_EQ(node(at("H1")).counter, 1); // a.h lies directly in the main file
    // Nested nodes have no file and counter 0, hence no function/variable name.
    EXPECT_EQ(node(at("l")).counter, 0);
    EXPECT_EQ(file_of(at("l")), "");
    EXPECT_EQ(get_name("var", at("l")), "");
    EXPECT_EQ(get_name("type", at("l")), "type:l#0");
}

TEST_F(Bookkeeping, ContextFileAndGlobalityOfDeclarations) {
    load(two_compilations());
    EXPECT_EQ(context_filename(at("w")), "main.c");
    EXPECT_EQ(context_filename(at("N")), "main.c");
    EXPECT_EQ(context_filename(at("s3")), "other.c");
    EXPECT_EQ(context_filename(at("C")), "");
    EXPECT_TRUE(is_global(at("w"))); // through two scope files
    EXPECT_TRUE(is_global(at("v")));
    EXPECT_TRUE(is_global(at("f")));
    EXPECT_FALSE(is_global(at("l")));
    EXPECT_FALSE(is_global(at("C")));
}

// Contexts are remembered per scope file: asking below, inside and above a chain
// of nested scope files in any order gives the outermost file each time, and a
// second dump read after cleanup() starts afresh.
TEST_F(Bookkeeping, ContextFileIsFoundThroughNestedScopeFiles) {
    auto chain = [](const char* main, int depth) {
        ta_text t;
        t.n("C", "cScopeCompil", std::string("name = \"") + main + "\"");
        t.n("F0", "cScopeFile", std::string("name = \"") + main + "\"").son("C", "F0");
        for (int i = 1; i <= depth; ++i) {
            std::string f = "F" + std::to_string(i), up = "F" + std::to_string(i - 1);
            t.n(f, "cScopeFile", "name = \"h" + std::to_string(i) + ".h\"").son(up, f);
        }
        t.n("d", "cObject", "name = \"d\"").son("F" + std::to_string(depth), "d");
        return t.str();
    };
    load(chain("deep.c", 6));
    EXPECT_EQ(context_filename(at("F3")), "deep.c");
    EXPECT_EQ(context_filename(at("d")), "deep.c");
    EXPECT_EQ(context_filename(at("F6")), "deep.c");
    EXPECT_EQ(context_filename(at("F0")), "deep.c");
    EXPECT_EQ(context_filename(at("C")), "");
    cleanup();
    load(chain("other.c", 3));
    EXPECT_EQ(context_filename(at("d")), "other.c");
    EXPECT_EQ(context_filename(at("F1")), "other.c");
}

TEST_F(Bookkeeping, KindsCompareExactlyAndEachEdgeIsIndexedOnce) {
    ta_text t;
    t.n("1", "cFunction")
        .n("2", "cObject")
        .n("3", "cFunctionX")
        .n("4", "cInitList")
        .n("5", "cScopeFile")
        .n("6", "cNameRef")
        .n("7", "cFctType")
        .n("8", "cPtrType")
        .e("cArcSon", "1", "2")
        .e("cArcSon", "1", "2")
        .e("cArcOpd", "4", "2")
        .e("cArcInitVal", "2", "4")
        .e("cInstance", "2", "8")
        .e("cArcFoo", "5", "2")
        .e("cArcs", "6", "2")
        .e("other", "7", "2");
    load(t.str());
    EXPECT_EQ(ids(cFunctions), "1"); // kinds compare exactly
    EXPECT_EQ(ids(cInitLists), "4");
    EXPECT_EQ(ids(cFctTypes), "7");
    EXPECT_EQ(ids(next_nodes_arcSon.of(at("1"))), "2"); // duplicate edge, one entry
    EXPECT_EQ(ids(prev_nodes.of(at("2"))), "1 4 5 6 7");
    EXPECT_EQ(ids(prev_nodes_arc.of(at("2"))), "1 4 5 6");
    EXPECT_EQ(ids(prev_nodes_arcSon.of(at("2"))), "1");
    EXPECT_EQ(ids(next_nodes_arcOpd.of(at("4"))), "2");
    EXPECT_EQ(ids(next_nodes_arcInitVal.of(at("2"))), "4");
    EXPECT_EQ(ids(next_nodes_instance.of(at("2"))), "8");
    EXPECT_EQ(ids(next_nodes.of(at("2"))), "4 8");
    EXPECT_TRUE(next_nodes.of(at("8")).empty());
    EXPECT_TRUE(next_nodes.of(no_node).empty());
}

TEST_F(Bookkeeping, SonEndComparesNumbersLineFirst) {
    ta_text t;
    t.n("f", "cFunction", "end = 10.5")
        .n("a", "cBlock", "end = 9.30")
        .n("b", "cX", "end = 10.12")
        .n("g", "cFunction", "end = 010.05")
        .n("h", "cFunction", "end = 7")
        .son("f", "a")
        .son("f", "b");
    load(t.str());
    EXPECT_EQ(son_end(at("f"), "10.5"), "10.12");
    EXPECT_EQ(son_end(at("f"), "11.1"), "11.1");
    EXPECT_EQ(son_end(at("g"), "010.05"), "10.5");
    EXPECT_EQ(son_end(at("h"), "7"), "7.0");
}

TEST_F(Bookkeeping, StaticPrototypeMakesTheDefinitionStatic) {
    ta_text t;
    t.n("C", "cScopeCompil", "name = \"u.c\"")
        .n("F", "cScopeFile", "name = \"u.c\"")
        .n("p", "cFunction", "name = \"f\" static = True")
        .n("d", "cFunction", "name = \"f\"")
        .n("blk", "cBlock")
        .n("g", "cFunction", "name = \"g\"")
        .n("gb", "cBlock")
        .n("q", "cFunction", "name = \"g\" static = True")
        .n("qb", "cBlock")
        .son("C", "F")
        .son("F", "p")
        .son("F", "d")
        .son("d", "blk")
        .son("F", "g")
        .son("g", "gb")
        .son("F", "q")
        .son("q", "qb");
    load(t.str());
    EXPECT_TRUE(is_static("func", at("d")));
    EXPECT_EQ(get_name("func", at("d")), "func:f:static:u.c");
    EXPECT_TRUE(is_static("func", at("p")));
    EXPECT_FALSE(is_static("var", at("d")));
    // A static definition elsewhere is no static prototype.
    EXPECT_FALSE(is_static("func", at("g")));
    EXPECT_TRUE(is_static("func", at("q")));
    EXPECT_TRUE(has_body(at("d")));
    EXPECT_FALSE(has_body(at("p")));
}

} // namespace
