#include "partition/leaf_sets.h"

#include <algorithm>

namespace {
std::size_t hash_words(const std::uint64_t* w, std::size_t count) {
    std::uint64_t h = 1469598103934665603ULL;
    for (std::size_t i = 0; i < count; ++i)
        h = (h ^ w[i]) * 1099511628211ULL ^ (h >> 29);
    return static_cast<std::size_t>(h);
}
} // namespace

leaf_sets::leaf_sets(const node_set& nodes, const edge_set& edges, const node_set& leaves)
    : dense_(nodes, edges, leaves), leaf_at_(leaves.begin(), leaves.end()) {
    words_ = (leaf_at_.size() + 63) / 64;
    std::vector<int> bit_of(dense_.size(), -1);
    for (std::size_t b = 0; b < leaf_at_.size(); ++b)
        bit_of[dense_.index_of(leaf_at_[b].id)] = static_cast<int>(b);

    int component_count = 0;
    const std::vector<int> component = dense_.components(component_count);
    std::vector<std::vector<int>> members(component_count);
    for (int v = 0; v < dense_.size(); ++v)
        members[component[v]].push_back(v);

    buckets_.assign(static_cast<std::size_t>(component_count) + 1, {});
    std::vector<int> component_key(component_count, -1);
    std::vector<std::uint64_t> bits(words_);
    // Every edge leads to a component with a number no greater than its
    // source's, so the successors' sets are complete when a component is met.
    for (int c = 0; c < component_count; ++c) {
        std::fill(bits.begin(), bits.end(), 0);
        int last_key = -1;
        for (int v : members[c]) {
            if (bit_of[v] >= 0) bits[bit_of[v] / 64] |= std::uint64_t(1) << (bit_of[v] % 64);
            for (int i = dense_.first(v); i < dense_.first(v + 1); ++i) {
                const int key = component_key[component[dense_.targets()[i]]];
                if (key < 0 || key == last_key) continue; // own component, or just added
                last_key = key;
                const std::uint64_t* w = words_of(key);
                for (std::size_t k = 0; k < words_; ++k)
                    bits[k] |= w[k];
            }
        }
        component_key[c] = static_cast<int>(intern(bits));
    }
    vertex_key_.resize(dense_.size());
    for (int v = 0; v < dense_.size(); ++v)
        vertex_key_[v] = component_key[component[v]];
}

std::size_t leaf_sets::intern(const std::vector<std::uint64_t>& bits) {
    auto& bucket = buckets_[hash_words(bits.data(), words_) % buckets_.size()];
    for (std::size_t key : bucket)
        if (std::equal(bits.begin(), bits.end(), words_of(key))) return key;
    pool_.insert(pool_.end(), bits.begin(), bits.end());
    bucket.push_back(key_count_);
    return key_count_++;
}

node_set leaf_sets::leaves_of(int key) const {
    node_set result;
    const std::uint64_t* w = words_of(static_cast<std::size_t>(key));
    for (std::size_t b = 0; b < leaf_at_.size(); ++b)
        if (w[b / 64] >> (b % 64) & 1) result.insert(result.end(), leaf_at_[b]);
    return result;
}

std::size_t leaf_sets::size_of(int key) const {
    const std::uint64_t* w = words_of(static_cast<std::size_t>(key));
    std::size_t count = 0;
    for (std::size_t k = 0; k < words_; ++k)
        count += static_cast<std::size_t>(__builtin_popcountll(w[k]));
    return count;
}
