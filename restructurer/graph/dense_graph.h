// A compact copy of a graph for whole-graph algorithms: node numbers mapped to
// dense indexes 0..size-1 (in ascending number), the edges as adjacency arrays,
// and the strongly connected components.
#pragma once

#include "header/graph.h"

#include <unordered_map>
#include <vector>

class dense_graph {
  public:
    // Every number that occurs in `nodes`, in `extra` or at an end of `edges`
    // gets an index, so that reachability through edge ends that are no longer
    // nodes is kept.
    dense_graph(const node_set& nodes, const edge_set& edges, const node_set& extra = {});

    int size() const { return static_cast<int>(ids_.size()); }
    int index_of(int id) const { return index_.at(id); }
    bool has(int id) const { return index_.count(id) > 0; }
    int id_at(int index) const { return ids_[index]; }
    // Targets of the edges leaving vertex v: targets()[first(v) .. first(v+1)).
    int first(int v) const { return first_[v]; }
    const std::vector<int>& targets() const { return targets_; }

    // Component number of every vertex. Components are numbered in the order
    // Tarjan's algorithm completes them, so an edge never leads to a component
    // with a higher number than its source's: ascending component numbers are
    // a reverse topological order.
    std::vector<int> components(int& count) const;

  private:
    std::vector<int> ids_;
    std::unordered_map<int, int> index_;
    std::vector<int> first_;
    std::vector<int> targets_;
};
