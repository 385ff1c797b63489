// Compression: every group of `partitions` becomes one header node of a new
// graph, every implementation file stays a node of its own, and the edges are
// carried over between these nodes. `representative` maps each node of this
// graph to the node that stands for it in the compressed one.
#include "header/graph.h"

#include "graph/progress.h"

#include <unordered_map>

void graph::compressing_graph() {
    compressed = std::make_unique<graph>();
    graph& g = *compressed;
    // Representatives by node number, kept beside the map for fast lookups.
    std::unordered_map<int, node> by_id;
    auto represent = [&](const node& n, const node& r) {
        representative[n] = r;
        by_id[n.id] = r;
    };
    auto add = [&g](Node* object) {
        const node h(static_cast<int>(g.nodes.size()), object);
        g.nodes.insert(g.nodes.end(), h);
        return h;
    };

    for (const node_set& group : partitions) {
        auto* header = make_node<Header>("");
        header->members = group;
        const node h = add(header);
        for (const node& m : group)
            represent(m, h);
    }
    for (const node& n : nodes) {
        if (n.is_implement()) {
            represent(n, add(n.object));
        } else if (const Header* file = as_header(n)) {
            // One compressed node per implementation file the header holds;
            // the header itself is represented by the last of them.
            for (const node& u : file->members)
                if (u.is_implement()) represent(n, add(n.object));
        }
    }

    for (const edge& e : edges) {
        auto a = by_id.find(e.from.id);
        auto b = by_id.find(e.to.id);
        // An end without a representative gets a default entry in the map.
        if (a == by_id.end()) representative[e.from];
        if (b == by_id.end()) representative[e.to];
        if (a == by_id.end() || b == by_id.end()) continue;
        const node& from = a->second;
        const node& to = b->second;
        if (from.id != to.id && from.object && to.object) g.edges.insert(edge(from, to));
    }
    announce("... graph compressed.");
    g.count();
}
