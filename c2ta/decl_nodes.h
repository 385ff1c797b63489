// The node of every declaration, keyed by its cursor. A declaration can be
// mentioned (as the type of something) before the walk reaches it, so its node
// is created empty at the first mention and filled when the walk builds it.
#pragma once

#include "clang_text.h"

#include <unordered_map>
#include <vector>

class ta_graph;

class decl_nodes {
  public:
    explicit decl_nodes(ta_graph& graph) : graph_(graph) {}

    // The node of decl, created as an empty placeholder when it is new.
    int node_for(CXCursor decl);
    // Marks decl as built and returns true the first time only; the walk meets
    // some declarations twice (a structure inside the typedef that names it).
    bool claim(CXCursor decl);
    // Declarations that were mentioned but never built, in order of mention.
    std::vector<CXCursor> unbuilt() const;

  private:
    struct entry_record {
        int node;
        bool built;
    };
    ta_graph& graph_;
    std::unordered_map<CXCursor, entry_record, cursor_hash, cursor_equal> entries_;
    std::vector<CXCursor> order_;
};
