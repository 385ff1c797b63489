// The shape of the dump that the fact extractor relies on: kinds, attributes,
// relations and the identifier order of "first" successors.
#include "c2ta_run.h"
#include "dump_reader.h"

#include <gtest/gtest.h>

namespace {

ta_dump dump_of(const scratch_dir& scratch, const std::string& arguments) {
    run_result result = scratch.c2ta(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    return read_dump(result.out);
}

bool starts_with(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

TEST(C2taDump, FunctionsParametersAndLinkage) {
    scratch_dir scratch;
    scratch.write("f.c", "typedef long cents_t;\n"
                         "struct s { int a; };\n"
                         "static int helper(void);\n"
                         "static int helper(void) { return 1; }\n"
                         "cents_t total(struct s *p, cents_t c, int n[4])\n"
                         "{\n"
                         "    return p->a + c + n[0] + helper();\n"
                         "}\n"
                         "int proto(int);\n"
                         "typedef unsigned long size_t;\n"
                         "size_t strlen(const char *s);\n");
    ta_dump dump = dump_of(scratch, "f.c");

    std::string total = dump.only("cFunction", "total");
    EXPECT_EQ(dump.attribute(total, "beg"), "5.1");
    EXPECT_EQ(dump.attribute(total, "end"), "8.2");
    EXPECT_EQ(dump.attribute(total, "static"), "");
    std::vector<std::string> params;
    bool has_block = false;
    for (const std::string& child : dump.successors(total, "cArcSon")) {
        if (dump.kind_of(child) == "cFormalFctParam") params.push_back(child);
        has_block = has_block || dump.kind_of(child) == "cBlock";
    }
    EXPECT_TRUE(has_block);
    ASSERT_EQ(params.size(), 3u);
    for (const std::string& param : params)
        EXPECT_EQ(dump.successors(param).size(), 1u) << "a parameter's only successor is its type";
    std::string pointer = dump.successors(params[0]).front();
    EXPECT_EQ(dump.kind_of(pointer), "cPtrType");
    ASSERT_EQ(dump.successors(pointer).size(), 1u);
    EXPECT_EQ(dump.successors(pointer).front(), dump.only("cAggrType", "s"));
    EXPECT_EQ(dump.successors(params[1]).front(), dump.only("cAliasType", "cents_t"));
    // Arrays are written as pointers to their element type.
    std::string array = dump.successors(params[2]).front();
    EXPECT_EQ(dump.kind_of(array), "cPtrType");
    EXPECT_EQ(dump.kind_of(dump.successors(array).front()), "cBuiltInType");
    // The return type is a successor of the function.
    EXPECT_EQ(dump.successors(total, "cInstance"),
              std::vector<std::string>{dump.only("cAliasType", "cents_t")});
    // clang gives a redeclared library builtin the builtin's own type; the
    // result is still the typedef the declaration names.
    EXPECT_EQ(dump.successors(dump.only("cFunction", "strlen"), "cInstance"),
              std::vector<std::string>{dump.only("cAliasType", "size_t")});

    for (const std::string& helper : dump.find("cFunction", "helper"))
        EXPECT_EQ(dump.attribute(helper, "static"), "True");
    EXPECT_EQ(dump.find("cFunction", "helper").size(), 2u);
    std::string proto = dump.only("cFunction", "proto");
    for (const std::string& child : dump.successors(proto))
        EXPECT_NE(dump.kind_of(child), "cBlock");
}

TEST(C2taDump, ObjectsInitializersAndReferences) {
    scratch_dir scratch;
    scratch.write("o.c", "enum color { RED, GREEN, LAST };\n"
                         "extern int counts[LAST];\n"
                         "int counts[LAST] = {\n"
                         "    1,\n"
                         "    2 };\n"
                         "static const char *names[] = { \"r\", \"g\" };\n"
                         "extern int initialized_extern = 3;\n"
                         "int tentative;\n"
                         "int (*pick)(void);\n"
                         "int sum(void)\n"
                         "{\n"
                         "    int local = counts[GREEN] + GREEN[counts];\n"
                         "    int counts = 0;\n"
                         "    return local + counts;\n"
                         "}\n");
    ta_dump dump = dump_of(scratch, "o.c");

    std::vector<std::string> counts = dump.find("cObject", "counts");
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(dump.attribute(counts[0], "extern"), "True");
    EXPECT_EQ(dump.attribute(counts[1], "extern"), "");
    EXPECT_EQ(dump.attribute(dump.only("cObject", "initialized_extern"), "extern"), "");
    EXPECT_EQ(dump.attribute(dump.only("cObject", "tentative"), "extern"), "");
    EXPECT_EQ(dump.attribute(dump.only("cObject", "names"), "static"), "True");

    // A braced initializer is a cInitList reached by cArcInitVal, with its end.
    std::vector<std::string> init = dump.successors(counts[1], "cArcInitVal");
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(dump.kind_of(init[0]), "cInitList");
    EXPECT_TRUE(starts_with(dump.attribute(init[0], "end"), "5."));

    // Array sizes name the enumerator under the declaration that uses it.
    for (const std::string& object : {counts[0], counts[1]}) {
        bool names_last = false;
        for (const std::string& child : dump.successors(object, "cArcSon"))
            names_last = names_last || (dump.kind_of(child) == "cNameRef" &&
                                        dump.attribute(child, "name") == "LAST");
        EXPECT_TRUE(names_last);
    }

    // Both subscripts put the array first in identifier order, also GREEN[counts];
    // the local that shadows the global is a cLocalRef, not a cNameRef.
    int subscripts = 0;
    for (const auto& [id, node] : dump.nodes) {
        if (node.kind != "cBinaryOperator" || dump.attribute(id, "op") != "array-ref") continue;
        ++subscripts;
        std::vector<std::string> operands = dump.successors(id, "cArcOpd");
        ASSERT_EQ(operands.size(), 2u);
        EXPECT_EQ(dump.kind_of(operands[0]), "cNameRef");
        EXPECT_EQ(dump.attribute(operands[0], "name"), "counts");
        EXPECT_EQ(dump.attribute(operands[1], "name"), "GREEN");
    }
    EXPECT_EQ(subscripts, 2);
    EXPECT_EQ(dump.find("cLocalRef", "counts").size(), 1u);
    EXPECT_EQ(dump.find("cNameRef", "counts").size(), 2u);
    EXPECT_EQ(dump.find("cLocalRef", "local").size(), 1u);

    // A function pointer object: pointer to a cFctType whose successors are
    // the result type.
    std::string pointer = dump.successors(dump.only("cObject", "pick"), "cInstance").front();
    std::string function_type = dump.successors(pointer).front();
    EXPECT_EQ(dump.kind_of(function_type), "cFctType");
    EXPECT_EQ(dump.attribute(function_type, "name"), "(anonymous)");
}

TEST(C2taDump, TypedefsAggregatesAndEnums) {
    scratch_dir scratch;
    scratch.write("t.c", "struct list;\n"
                         "typedef struct list list_t;\n"
                         "struct list {\n"
                         "    list_t *next;\n"
                         "    union { int i; float f; } u;\n"
                         "};\n"
                         "typedef struct { int x; } point;\n"
                         "typedef struct pair { int a, b; } pair_t;\n"
                         "typedef enum { OFF, ON } state;\n"
                         "typedef pair_t couple;\n");
    ta_dump dump = dump_of(scratch, "t.c");
    std::string list = dump.only("cAggrType", "list");
    EXPECT_EQ(dump.attribute(list, "type"), "struct");

    // A typedef of a structure defined elsewhere goes through a forward node
    // in the scope file; one defined inside the typedef is its direct successor.
    std::string list_target = dump.successors(dump.only("cAliasType", "list_t")).front();
    EXPECT_EQ(dump.kind_of(list_target), "cForwardType");
    EXPECT_EQ(dump.attribute(list_target, "name"), "list");
    EXPECT_EQ(dump.kind_of(dump.parent(list_target)), "cScopeFile");
    std::string point_target = dump.successors(dump.only("cAliasType", "point")).front();
    EXPECT_EQ(dump.kind_of(point_target), "cAggrType");
    EXPECT_EQ(dump.attribute(point_target, "name"), "(anonymous)");
    EXPECT_EQ(dump.successors(dump.only("cAliasType", "pair_t")).front(),
              dump.only("cAggrType", "pair"));
    EXPECT_EQ(dump.successors(dump.only("cAliasType", "couple")).front(),
              dump.only("cAliasType", "pair_t"));
    std::string state_target = dump.successors(dump.only("cAliasType", "state")).front();
    EXPECT_EQ(dump.kind_of(state_target), "cEnumType");
    EXPECT_EQ(dump.successors(state_target, "cArcSon").size(), 2u);
    // The forward declaration is a node of its own.
    EXPECT_EQ(dump.find("cForwardType", "list").size(), 2u);

    // Members: cObject children with their type; the nested anonymous union
    // belongs to the structure, not to the file.
    std::vector<std::string> members = dump.successors(list, "cArcSon");
    ASSERT_EQ(members.size(), 3u);
    std::string next = dump.only("cObject", "next");
    std::string next_type = dump.successors(next, "cInstance").front();
    EXPECT_EQ(dump.successors(next_type).front(), dump.only("cAliasType", "list_t"));
    std::string u_type = dump.successors(dump.only("cObject", "u"), "cInstance").front();
    EXPECT_EQ(dump.kind_of(u_type), "cAggrType");
    EXPECT_EQ(dump.attribute(u_type, "type"), "union");
    EXPECT_EQ(dump.parent(u_type), list);
}

// The walks of the extractor take the "first" parent and successor; on a real
// unit (with the C library's headers) every node has at most one structural
// parent, pointers and parameters exactly one successor, identifiers share
// one width, and every relation joins existing nodes.
TEST(C2taDump, RealUnitIsAForestWithSingleTypeLinks) {
    scratch_dir scratch;
    scratch.write(
        "r.c", "#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n#include <signal.h>\n"
               "static int cmp(const void *a, const void *b) { return strcmp(a, b); }\n"
               "int main(int argc, char **argv)\n"
               "{\n"
               "    qsort(argv, (size_t)argc, sizeof *argv, cmp);\n"
               "    for (int i = 0; i < argc; i++) puts(argv[i]);\n"
               "    return 0;\n"
               "}\n");
    ta_dump dump = dump_of(scratch, "-std=gnu11 r.c");
    ASSERT_GT(dump.nodes.size(), 500u);
    std::size_t width = dump.nodes.begin()->first.size();
    std::map<std::string, int> structural_parents;
    for (const dump_edge& edge : dump.edges) {
        ASSERT_TRUE(dump.nodes.count(edge.source)) << edge.source;
        ASSERT_TRUE(dump.nodes.count(edge.target)) << edge.target;
        if (starts_with(edge.kind, "cArc")) ++structural_parents[edge.target];
    }
    for (const auto& [id, node] : dump.nodes) {
        EXPECT_EQ(id.size(), width);
        EXPECT_LE(structural_parents[id], 1) << id << " " << node.kind;
        if (node.kind == "cFormalFctParam" || node.kind == "cPtrType") {
            EXPECT_EQ(dump.successors(id).size(), 1u) << id << " " << node.kind;
        }
        if (node.kind != "cScopeCompil" && node.kind != "cBuiltInType" && node.kind != "cPtrType" &&
            node.kind != "cFctType") {
            EXPECT_EQ(structural_parents[id], 1)
                << id << " " << node.kind << " has no place in the tree";
        }
    }
}

TEST(C2taDump, UnitThatDoesNotParseWritesNothing) {
    scratch_dir scratch;
    scratch.write("bad.c", "int ok;\nint broken( { return; }\n");
    run_result bad = scratch.c2ta("bad.c");
    EXPECT_NE(bad.status, 0);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("bad.c:2"), std::string::npos) << bad.err;

    run_result missing = scratch.c2ta("absent.c");
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.out, "");

    run_result no_input = scratch.c2ta("-O2 -Wall");
    EXPECT_NE(no_input.status, 0);
    EXPECT_NE(no_input.err.find("usage"), std::string::npos);
}
