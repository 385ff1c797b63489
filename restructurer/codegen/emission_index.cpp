#include "codegen/emission_index.h"

emission_index::emission_index(const graph& compressed, const edge_set& unit_edges)
    : c_(compressed), unit_edges_(unit_edges),
      reach_(compressed.nodes, compressed.edges, compressed.leaves) {
    for (const edge& e : c_.edges) {
        if (e.from.id != e.to.id && e.from.is_header()) headers_used_[e.to.id].insert(e.from);
        if (e.from.id != e.to.id) ++users_[e.from.id];
        if (e.to.is_header()) headers_using_[e.from.id].push_back(e.to);
    }
}

int emission_index::users_of(const node& n) const {
    auto it = users_.find(n.id);
    return it == users_.end() ? 0 : it->second;
}

const std::vector<node>& emission_index::headers_using(int number) const {
    auto it = headers_using_.find(number);
    return it == headers_using_.end() ? no_nodes_ : it->second;
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

std::size_t emission_index::units_reached(const node& n) {
    if (!units_) {
        units_ = std::make_unique<dense_graph>(node_set(), unit_edges_);
        reached_.assign(units_->size(), 0);
        stamp_.assign(units_->size(), -1);
    }
    if (!units_->has(n.id)) return 1; // no edge: n alone
    const int start = units_->index_of(n.id);
    if (reached_[start]) return reached_[start];
    ++walk_;
    std::vector<int> pending{start};
    stamp_[start] = walk_;
    std::size_t count = 1;
    while (!pending.empty()) {
        const int v = pending.back();
        pending.pop_back();
        for (int i = units_->first(v); i < units_->first(v + 1); ++i) {
            const int w = units_->targets()[i];
            if (stamp_[w] == walk_) continue;
            stamp_[w] = walk_;
            ++count;
            pending.push_back(w);
        }
    }
    return reached_[start] = count;
}
