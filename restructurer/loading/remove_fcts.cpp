// Removes the function-type units ("fct:" names) and bypasses each of them:
// every user of a function type now uses directly what the function type used.
// Each unit's edges are read when it is removed, so a chain of function types
// (one using another) is bypassed as a whole and no dependency is lost.
#include "header/graph.h"

#include <unordered_map>
#include <vector>

namespace {
// The sources of the current edges into each function type, kept in step with
// `edges`: only the removed units' sources are ever asked for.
class incoming_index {
  public:
    incoming_index(const edge_set& edges, const std::vector<node>& fcts) {
        for (const node& f : fcts)
            sources_[f.id];
        for (const edge& e : edges) {
            auto it = sources_.find(e.to.id);
            if (it != sources_.end()) it->second.insert(e.from);
        }
    }
    node_set sources(int id) const {
        auto it = sources_.find(id);
        return it == sources_.end() ? node_set() : it->second;
    }
    void erase(edge_set& edges, const edge& e) {
        if (!edges.erase(e)) return;
        auto it = sources_.find(e.to.id);
        if (it != sources_.end()) it->second.erase(e.from);
    }
    void insert(edge_set& edges, const edge& e) {
        if (!edges.insert(e).second) return;
        auto it = sources_.find(e.to.id);
        if (it != sources_.end()) it->second.insert(e.from);
    }

  private:
    std::unordered_map<int, node_set> sources_;
};

node_set targets(const edge_set& edges, int id) {
    node_set result;
    for (auto it = edges.lower_bound(edge::first_from(id)); it != edges.end() && it->from.id == id;
         ++it)
        result.insert(it->to);
    return result;
}
} // namespace

void graph::remove_fcts() {
    std::vector<node> fcts;
    for (const node& n : nodes)
        if (n.object && n.object->name.compare(0, 4, "fct:") == 0) fcts.push_back(n);
    if (fcts.empty()) return;
    incoming_index incoming(edges, fcts);

    for (const node& f : fcts) {
        nodes.erase(f);
        node_set used = incoming.sources(f.id);
        node_set users = targets(edges, f.id);
        // A loop on the removed unit itself (left by an earlier bypass in a
        // cycle of function types) just goes away.
        if (used.erase(f)) incoming.erase(edges, edge(f, f));
        users.erase(f);
        for (const node& p : used)
            incoming.erase(edges, edge(p, f));
        for (const node& s : users) {
            incoming.erase(edges, edge(f, s));
            for (const node& p : used) {
                // A use through the function type needs no more than the tag
                // when the function type's use did not.
                const edge bypass(p, s);
                const bool tag_only = tag_only_edges.count(edge(p, f)) != 0;
                if (!edges.count(bypass)) {
                    if (tag_only) tag_only_edges.insert(bypass);
                } else if (!tag_only) {
                    tag_only_edges.erase(bypass);
                }
                incoming.insert(edges, bypass);
            }
        }
    }
}
