// Helpers of the extractor tests: load a TA text into the tables and look nodes
// up by identifier.
#pragma once

#include "bookkeeping.h"
#include "parser.h"
#include "tables.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// Parses `text` into fresh tables; returns the parser's counts. Messages land in
// `diagnostics` when given.
inline parse_result load_only(const std::string& text, std::string* diagnostics = nullptr) {
    cleanup();
    std::istringstream in(text);
    std::ostringstream err;
    parse_result r = parse_ta(in, err);
    if (diagnostics) *diagnostics = err.str();
    return r;
}

// Parses and bookkeeps `text`.
inline void load(const std::string& text) {
    load_only(text);
    bookkeeping_nodes();
    bookkeeping_edges();
    bookkeeping_scopes();
}

// Handle of identifier `id`; fails the test when the input never named it.
inline nid at(const std::string& id) {
    nid n = the_nodes.find(id);
    EXPECT_NE(n, no_node) << "no node " << id;
    return n;
}

inline const attributes& attrs(const std::string& id) {
    return node(at(id)).attrs;
}

// Identifiers of a set, in its order, joined by blanks.
template <class Set> std::string ids(const Set& set) {
    std::string out;
    for (nid n : set)
        out += (out.empty() ? "" : " ") + std::string(node(n).id);
    return out;
}

class extractor_test : public ::testing::Test {
  protected:
    void TearDown() override { cleanup(); }
};
