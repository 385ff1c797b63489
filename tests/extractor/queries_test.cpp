#include "names.h"
#include "queries.h"
#include "ta_builder.h"
#include "ta_fixture.h"

namespace {

using Queries = extractor_test;

// One file scope holding:
//   union u { int i; };          struct (forward) fs, typedef union u U;
//   typedef U *P;                enum e { E1 };
//   int f(P p) { union u loc; if (..) { U in; } g; }
//   struct { int m; } anon;      int arr[2] = { E1 };
std::string types_text() {
    ta_text t;
    t.n("C", "cScopeCompil", "name = \"m.c\"")
        .n("F", "cScopeFile", "name = \"m.c\"")
        .n("u", "cAggrType", "name = \"u\" type = union beg = 1.1 end = 1.20")
        .n("i", "cObject", "name = \"i\"")
        .n("int", "cBuiltInType", "name = \"int\"")
        .n("fw", "cForwardType", "name = \"u\"")
        .n("fs", "cForwardType", "name = \"nosuch\"")
        .n("U", "cAliasType", "name = \"U\" beg = 2.1 end = 2.16")
        .n("P", "cAliasType", "name = \"P\"")
        .n("ptr", "cPtrType", "name = \"U *\"")
        .n("ptr2", "cPtrType", "name = \"U **\"")
        .n("dangling", "cPtrType")
        .n("e", "cEnumType", "name = \"e\"")
        .n("E1", "cEnumerator", "name = \"E1\"")
        .n("f", "cFunction", "name = \"f\"")
        .n("par", "cFormalFctParam", "name = \"p\"")
        .n("body", "cBlock")
        .n("loc", "cObject", "name = \"loc\"")
        .n("if", "cIf")
        .n("inner", "cObject", "name = \"in\"")
        .n("ref", "cNameRef", "name = \"g\"")
        .n("anon", "cAggrType", "name = \"(anonymous)\" type = struct")
        .n("m", "cObject", "name = \"m\"")
        .n("an", "cObject", "name = \"anon\"")
        .n("arr", "cObject", "name = \"arr\"")
        .n("il", "cInitList")
        .n("eref", "cNameRef", "name = \"E1\"")
        .n("tref", "cNameRef", "name = \"E1\"")
        .son("C", "F")
        .son("F", "u")
        .son("u", "i")
        .son("F", "fw")
        .son("F", "fs")
        .e("cInstance", "i", "int")
        .son("F", "U")
        .e("cInstance", "U", "u")
        .son("F", "P")
        .e("cInstance", "P", "ptr")
        .e("cInstance", "ptr", "U")
        .e("cInstance", "ptr2", "ptr")
        .son("F", "e")
        .son("e", "E1")
        .son("F", "f")
        .son("f", "par")
        .e("cInstance", "par", "P")
        .e("cInstance", "f", "int")
        .son("f", "body")
        .son("body", "loc")
        .e("cInstance", "loc", "u")
        .son("body", "if")
        .son("if", "inner")
        .e("cInstance", "inner", "U")
        .son("body", "ref")
        .son("F", "anon")
        .son("anon", "m")
        .e("cInstance", "m", "int")
        .son("F", "an")
        .e("cInstance", "an", "anon")
        .son("F", "arr")
        .e("cArcInitVal", "arr", "il")
        .son("il", "eref")
        .son("U", "tref");
    return t.str();
}

TEST_F(Queries, TraceTypeNameFollowsPointersToNamedTypes) {
    load(types_text());
    EXPECT_EQ(trace_type_name(at("ptr2")), "type:U");
    EXPECT_EQ(trace_type_name(at("P")), "type:P");
    EXPECT_EQ(trace_type_name(at("u")), "union:u");
    EXPECT_EQ(trace_type_name(at("fw")), "union:u"); // forward type of a known union
    EXPECT_EQ(trace_type_name(at("fs")), "struct:nosuch");
    EXPECT_EQ(trace_type_name(at("e")), "enum:e");
    EXPECT_EQ(trace_type_name(at("anon")), "struct:anon");
    EXPECT_EQ(trace_type_name(at("int")), "");      // built-in types have no unit
    EXPECT_EQ(trace_type_name(at("dangling")), ""); // pointer to nothing
    EXPECT_EQ(trace_type_name(at("i")), "");        // not a type node
    type_ref r = trace_type(at("ptr2"));
    EXPECT_EQ(r.kind_word, "type");
    EXPECT_EQ(r.target, at("U"));
    EXPECT_TRUE(r.global);
    EXPECT_EQ(get_object_type(at("an")), "struct:anon");
    EXPECT_EQ(get_object_type(at("i")), "");
}

TEST_F(Queries, RootIsTheTopLevelDeclarationAndContextNamesIt) {
    load(types_text());
    // The top-level declaration containing a node, not the main file's scope.
    EXPECT_EQ(root_type(at("inner")), at("f"));
    EXPECT_EQ(root_type(at("f")), at("f"));
    EXPECT_EQ(root_type(at("m")), at("anon"));
    EXPECT_EQ(root_type(at("F")), at("F"));
    EXPECT_EQ(root_type(at("C")), no_node);
    EXPECT_EQ(root_function(at("inner")), at("f"));
    EXPECT_EQ(root_function(at("m")), no_node);
    EXPECT_EQ(root_initlist(at("eref")), at("arr"));
    EXPECT_EQ(find_root(at("loc")), at("f"));
    EXPECT_EQ(find_root(at("m")), at("anon"));
    EXPECT_EQ(find_context(at("ref")), "func:f");
    EXPECT_EQ(find_context(at("tref")), "type:U");
    EXPECT_EQ(find_context(at("eref")), "var:arr"); // root_type gives an object, no type
    EXPECT_EQ(find_context(at("C")), "");
}

TEST_F(Queries, ParametersUsedTypesAndLocationsOfDeclarations) {
    load(types_text());
    EXPECT_EQ(ids(find_parameters(at("f"))), "P int");
    std::set<std::string> used = find_all_children_used_types(at("f"));
    EXPECT_EQ(std::vector<std::string>(used.begin(), used.end()),
              (std::vector<std::string>{"type:U", "union:u"}));
    EXPECT_EQ(aggr_beg(at("U"), "2.1"), "1.1");
    EXPECT_EQ(aggr_beg(at("P"), "3.1"), "3.1");
    EXPECT_EQ(get_location("type", at("U"), false), "m.c:1.1:2.16");
    EXPECT_EQ(get_location("aggr", at("U"), false), "m.c:2.1:2.16");
    EXPECT_EQ(points_to_node(at("ptr2")), at("ptr"));
    EXPECT_TRUE(is_minus_one(points_to_node(at("dangling"))));
}

} // namespace
