// Tables the emission walk consults for every file it writes, computed once
// from the compressed graph (which emission does not change): how many leaves
// each node reaches, the headers each node uses directly, and how many nodes
// each unit reaches along the unit-level edges that order a file's units.
#pragma once

#include "graph/dense_graph.h"
#include "header/graph.h"
#include "partition/leaf_sets.h"

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class emission_index {
  public:
    // `unit_edges` must outlive the index and stay unchanged while it is used.
    emission_index(const graph& compressed, const edge_set& unit_edges);

    // actual_dominate_set(n).size() in the compressed graph.
    std::size_t leaves_reached(const node& n) const;
    // The headers h with an edge h -> n, h != n, in number order (each held by
    // the handle of its edge).
    const node_set& headers_used_by(int number) const;
    // out_degree(n, edges) in the compressed graph: the edges from n to
    // another node.
    int users_of(const node& n) const;
    // The ends of the edges from node number `number` that are headers, in
    // edge order (each held by the handle of its edge).
    const std::vector<node>& headers_using(int number) const;

    const edge_set& unit_edges() const { return unit_edges_; }
    // The number of nodes reachable from n along the unit edges, n included:
    // the size of dominate_set(n) in a graph with those edges. Remembered per
    // node; the edges are copied into a compact graph at the first query.
    std::size_t units_reached(const node& n);

  private:
    const graph& c_;
    const edge_set& unit_edges_;
    std::unique_ptr<dense_graph> units_;
    std::vector<std::size_t> reached_; // per dense vertex, 0 until counted
    std::vector<int> stamp_;
    int walk_ = 0;
    leaf_sets reach_;
    std::map<int, node_set> headers_used_;
    std::unordered_map<int, int> users_;
    std::unordered_map<int, std::vector<node>> headers_using_;
    std::vector<node> no_nodes_;
    node_set none_;
};
