#include "decl_nodes.h"

#include "ta_graph.h"

int decl_nodes::node_for(CXCursor decl) {
    auto found = entries_.find(decl);
    if (found != entries_.end()) return found->second.node;
    int node = graph_.add_node();
    entries_.emplace(decl, entry_record{node, false});
    order_.push_back(decl);
    return node;
}

bool decl_nodes::claim(CXCursor decl) {
    node_for(decl);
    entry_record& entry = entries_.find(decl)->second;
    if (entry.built) return false;
    entry.built = true;
    return true;
}

std::vector<CXCursor> decl_nodes::unbuilt() const {
    std::vector<CXCursor> result;
    for (const CXCursor& decl : order_)
        if (!entries_.find(decl)->second.built) result.push_back(decl);
    return result;
}
