// The set of leaves each node reaches along the edges (the leaves among its
// dominate_set), for every node at once. The leaf sets are bitsets computed
// once per strongly connected component, in reverse topological order, as the
// union of the component's own leaves and its successors' sets; equal sets are
// stored once and known by a key number.
#pragma once

#include "graph/dense_graph.h"
#include "header/graph.h"

#include <cstdint>
#include <vector>

class leaf_sets {
  public:
    leaf_sets(const node_set& nodes, const edge_set& edges, const node_set& leaves);

    // The key of the set of leaves that n reaches (n itself included when it
    // is a leaf). Nodes reaching equal sets have equal keys.
    int key_of(const node& n) const { return vertex_key_[dense_.index_of(n.id)]; }
    int key_count() const { return static_cast<int>(key_count_); }
    // True when n's number is a node or an edge end of the graph.
    bool knows(const node& n) const { return dense_.has(n.id); }
    // The number of leaves in the set of one key.
    std::size_t size_of(int key) const;
    // The leaves of one key, in ascending number.
    node_set leaves_of(int key) const;
    // Every leaf, by bit number (ascending node number).
    const std::vector<node>& leaves() const { return leaf_at_; }
    // Calls f(bit) for the bit number of each leaf of one key, in ascending
    // order; a walk costs the words of the set, not a node set's allocations.
    template <class F> void for_each_bit(int key, F f) const {
        const std::uint64_t* w = words_of(static_cast<std::size_t>(key));
        for (std::size_t k = 0; k < words_; ++k)
            for (std::uint64_t bits = w[k]; bits; bits &= bits - 1)
                f(k * 64 + static_cast<std::size_t>(__builtin_ctzll(bits)));
    }

  private:
    const std::uint64_t* words_of(std::size_t key) const { return pool_.data() + key * words_; }
    std::size_t intern(const std::vector<std::uint64_t>& bits);

    dense_graph dense_;
    std::vector<node> leaf_at_;       // bit number -> leaf
    std::size_t words_ = 0;           // 64-bit words per set
    std::vector<std::uint64_t> pool_; // the distinct sets, one after another
    std::size_t key_count_ = 0;
    std::vector<std::vector<std::size_t>> buckets_; // hash table of the keys
    std::vector<int> vertex_key_;
};
