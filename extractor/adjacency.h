// Node handles, ordered sets of them, and the adjacency maps built from edges.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A node handle. After the tables are frozen, nid order is identifier order.
using nid = std::uint32_t;
constexpr nid no_node = UINT32_MAX;

// A read-only run of handles in ascending order.
class id_range {
  public:
    id_range() = default;
    id_range(const nid* b, const nid* e) : b_(b), e_(e) {}
    const nid* begin() const { return b_; }
    const nid* end() const { return e_; }
    bool empty() const { return b_ == e_; }
    std::size_t size() const { return static_cast<std::size_t>(e_ - b_); }
    // First element, or no_node for an empty run.
    nid first() const { return empty() ? no_node : *b_; }
    nid last() const { return empty() ? no_node : e_[-1]; }

  private:
    const nid* b_ = nullptr;
    const nid* e_ = nullptr;
};

// An ordered set of handles kept as a sorted vector. Passes fill it in
// ascending order, so insertion is an append.
class id_set {
  public:
    void add_ascending(nid n) {
        if (items_.empty() || items_.back() < n) items_.push_back(n);
    }
    bool contains(nid n) const { return std::binary_search(items_.begin(), items_.end(), n); }
    const nid* begin() const { return items_.data(); }
    const nid* end() const { return items_.data() + items_.size(); }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void clear() { items_.clear(); }

  private:
    std::vector<nid> items_;
};

// A map from a handle to the ordered set of its neighbours, built once from
// (key, value) pairs. The sets are stored back to back (compressed rows), which
// keeps the build linear and the memory small.
class adjacency {
  public:
    void build(std::size_t node_count, const std::vector<std::pair<nid, nid>>& pairs);
    // Neighbours of n in ascending order; empty for an absent key.
    id_range of(nid n) const {
        if (static_cast<std::size_t>(n) + 1 >= starts_.size()) return {};
        return {values_.data() + starts_[n], values_.data() + starts_[n + 1]};
    }
    void clear() {
        starts_.clear();
        values_.clear();
    }

  private:
    std::vector<std::size_t> starts_; // node_count + 1 offsets into values_
    std::vector<nid> values_;
};
