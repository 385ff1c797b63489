#include "codegen/emission_index.h"

emission_index::emission_index(const graph& compressed)
    : c_(compressed), reach_(compressed.nodes, compressed.edges, compressed.leaves) {
    for (const edge& e : c_.edges)
        if (e.from.id != e.to.id && e.from.is_header()) headers_used_[e.to.id].insert(e.from);
}

std::size_t emission_index::leaves_reached(const node& n) const {
    if (c_.leaves.count(n)) return 1;
    // A number the graph does not know reaches only itself, which is no leaf.
    if (!reach_.knows(n)) return 0;
    return reach_.size_of(reach_.key_of(n));
}

const node_set& emission_index::headers_used_by(int number) const {
    auto it = headers_used_.find(number);
    return it == headers_used_.end() ? none_ : it->second;
}
