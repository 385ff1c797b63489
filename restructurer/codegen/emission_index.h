// Tables the emission walk consults for every file it writes, computed once
// from the compressed graph (which emission does not change): how many leaves
// each node reaches, and the headers each node uses directly.
#pragma once

#include "header/graph.h"
#include "partition/leaf_sets.h"

#include <map>

class emission_index {
  public:
    explicit emission_index(const graph& compressed);

    // actual_dominate_set(n).size() in the compressed graph.
    std::size_t leaves_reached(const node& n) const;
    // The headers h with an edge h -> n, h != n, in number order (each held by
    // the handle of its edge).
    const node_set& headers_used_by(int number) const;

  private:
    const graph& c_;
    leaf_sets reach_;
    std::map<int, node_set> headers_used_;
    node_set none_;
};
