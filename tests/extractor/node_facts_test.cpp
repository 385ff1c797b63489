#include "node_facts.h"
#include "ta_builder.h"
#include "ta_fixture.h"
#include "writer.h"

#include <sstream>

namespace {

using NodeFacts = extractor_test;

// The counting mode (not run by the driver): objects, functions and type nodes
// counted under their nearest scope file, through nested nodes.
TEST_F(NodeFacts, EachFileCountsTheEntitiesItHoldsDirectly) {
    ta_text t;
    t.n("C", "cScopeCompil", "name = \"m.c\"")
        .n("M", "cScopeFile", "name = \"m.c\"")
        .n("H", "cScopeFile", "name = \"h.h\"")
        .n("f", "cFunction")
        .n("b", "cBlock")
        .n("o", "cObject")
        .n("s", "cAggrType")
        .n("m", "cObject")
        .n("p", "cPtrType")
        .n("r", "cNameRef")
        .n("lost", "cObject")
        .son("C", "M")
        .son("M", "H")
        .son("M", "f")
        .son("f", "b")
        .son("b", "o")
        .son("H", "s")
        .son("s", "m")
        .son("H", "p")
        .son("b", "r");
    load(t.str());
    std::ostringstream out, err;
    set_fact_streams(out, err);
    set_main_files({"m.c"});
    generate_files(true);
    finish_output();
    set_fact_streams(std::cout, std::cerr);
    EXPECT_EQ(out.str(), "-2 file:h.h 3:0\n-2 file:m.cpp.c 2:0\n");
}

// Identifiers join the result sets even when their fact is dropped.
TEST_F(NodeFacts, ResultSetsKeepUnnamedUnits) {
    ta_text t;
    t.n("C", "cScopeCompil", "name = \"m.c\"")
        .n("f", "cFunction", "name = \"f\"")
        .n("b", "cBlock")
        .n("g", "cFunction", "name = \"g\"")
        .n("l", "cFunction")
        .n("lb", "cBlock")
        .son("C", "f")
        .son("f", "b")
        .son("C", "g")
        .son("f", "l")
        .son("l", "lb");
    load(t.str());
    std::ostringstream out, err;
    set_fact_streams(out, err);
    generate_nodes();
    finish_output();
    set_fact_streams(std::cout, std::cerr);
    EXPECT_EQ(out.str(), ""); // counter 0: no names
    EXPECT_EQ(ids(cDefGlobalFunctions), "f");
    EXPECT_EQ(ids(cDclGlobalFunctions), "g");
}

} // namespace
