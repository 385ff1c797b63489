#include "ta_fixture.h"

#include <sstream>

namespace {

using Parser = extractor_test;

TEST_F(Parser, FirstValueOfAnAttributeWinsAndOnlyNamesLoseTheirQuotes) {
    load_only("$INSTANCE 1 cObject w4 { extern = True extern = False name = \"n1\" name = x\n"
              "  beg = 1.2 end = \"3.4\" type = struct op = array-ref visb = public\n"
              "  static = True value = 7 colour = red }\n"
              "$INSTANCE 2 cObject w { name = \"\" }\n"
              "$INSTANCE 3 cObject w { name = x }\n"
              "$INSTANCE 4 cObject w { name = 'a b' Name = \"big\" }\n"
              "$INSTANCE 5 cObject w {}\n");
    const attributes& a = attrs("1");
    EXPECT_EQ(a.extern_, "True");
    EXPECT_EQ(a.name, "n1");
    EXPECT_EQ(a.beg, "1.2");
    EXPECT_EQ(a.end, "\"3.4\"");
    EXPECT_EQ(a.type, "struct");
    EXPECT_EQ(a.op, "array-ref");
    EXPECT_EQ(a.visb, "public");
    EXPECT_EQ(a.static_, "True");
    EXPECT_EQ(node(at("1")).kind, "cObject");
    EXPECT_EQ(attrs("2").name, "");
    EXPECT_EQ(attrs("3").name, "");
    EXPECT_EQ(attrs("4").name, "a b");
    EXPECT_EQ(attrs("5").name, "");
    // Leftmost wins even when it strips to nothing.
    load_only("$INSTANCE 1 k w { name = x name = \"long\" }");
    EXPECT_EQ(attrs("1").name, "");
}

TEST_F(Parser, RecordsFillTheTablesAndARepeatedIdentifierReplacesTheRecord) {
    parse_result r = load_only("$INSTANCE 7 cFunction w { name = \"f\" static = True }\n"
                               "(cArcSon 7 99) { ignored = 1 }\n"
                               "(cArcSon 7 8) {}\n"
                               "$INSTANCE 7 cObject w { name = \"g\" }\n");
    EXPECT_EQ(r.records, 4);
    EXPECT_EQ(r.errors, 0);
    // The repeated identifier replaced the whole record.
    EXPECT_EQ(node(at("7")).kind, "cObject");
    EXPECT_EQ(attrs("7").name, "g");
    EXPECT_EQ(attrs("7").static_, "");
    // Edge ends without records still get (empty) nodes.
    ASSERT_EQ(the_edges.size(), 2u);
    EXPECT_EQ(edge_kinds.name(the_edges[0].kind), "cArcSon");
    EXPECT_EQ(node(the_edges[0].target).id, "99");
    EXPECT_EQ(node(at("99")).kind, "");
    EXPECT_EQ(node(the_edges[1].target).id, "8");
    // Nodes are numbered in byte order of their identifiers.
    EXPECT_LT(at("7"), at("8"));
    EXPECT_LT(at("8"), at("99"));
}

TEST_F(Parser, NoRecordIsLostToBracesOrLength) {
    std::ostringstream text;
    text << "$NOTE\n";
    for (int i = 0; i < 300; ++i) // three closing braces per record, two of them quoted
        text << "$INSTANCE " << i << " cObject w { name = \"}}" << i << "\" }\n";
    text << "$INSTANCE big cStruct w {";
    for (int i = 0; i < 200; ++i)
        text << " a" << i << " = \"v}\"";
    text << " beg = 1.1 }\n";
    parse_result r = load_only(text.str());
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(r.records, 301);
    EXPECT_EQ(the_nodes.size(), 301u);
    EXPECT_EQ(attrs("99").name, "}}99");
    EXPECT_EQ(attrs("big").beg, "1.1");
}

TEST_F(Parser, RecoveryLosesOnlyTheBrokenRecord) {
    std::string err;
    parse_result r = load_only("$INSTANCE 1 cObject w { name = \"a\" }\n"
                               "$INSTANCE 2 cObject w { name = }\n"
                               "$INSTANCE 3 cObject w { name = \"c\" }\n"
                               "(cArcSon 1 $INSTANCE 4 cObject w {}\n"
                               "stray ( cArcSon 1 3 ) {}\n"
                               "$INSTANCE 5 cObject",
                               &err);
    EXPECT_EQ(r.records, 4);
    EXPECT_EQ(r.errors, 4);
    EXPECT_EQ(err, "\nparse error at line 2\n\nparse error at line 4\n"
                   "\nparse error at line 5\n\nparse error at line 6\n");
    EXPECT_EQ(the_nodes.find("2"), no_node);
    EXPECT_EQ(attrs("3").name, "c");
    EXPECT_NE(the_nodes.find("4"), no_node);
    EXPECT_EQ(the_nodes.find("5"), no_node);
    ASSERT_EQ(the_edges.size(), 1u);
    EXPECT_EQ(node(the_edges[0].target).id, "3");
}

TEST_F(Parser, StopAtErrorKeepsTheEarlierRecords) {
    cleanup();
    std::istringstream in("$INSTANCE 1 k w {}\n:\n$INSTANCE 2 k w {}\n");
    std::ostringstream err;
    parse_result r = parse_ta(in, err, true);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.records, 1);
    EXPECT_EQ(the_nodes.size(), 1u);
}

TEST_F(Parser, EmptyAndKeywordOnlyInputsHoldNoRecord) {
    EXPECT_EQ(load_only("").records, 0);
    parse_result r = load_only("$SCHEME TUPLE\n  $FACT ATTRIBUTE \t\n$ENTITY\n");
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(the_nodes.size(), 0u);
    EXPECT_EQ(load_only("$FACT TUPLE :\n").errors, 1);
}

} // namespace
