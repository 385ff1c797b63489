// Breaks the two-unit cycles between an aggregate and a type name defined from
// it (struct list uses list_t, list_t uses struct list): the edge from the
// aggregate to the type name is dropped, and every other user of the type name
// is made to use the aggregate directly, unless it needs no more than the
// aggregate's tag.
#include "header/graph.h"

#include "loading/trace.h"

#include <sstream>
#include <vector>

void graph::remove_forward_edges() {
    edges_before_forward_removal.clear();
    edges_before_forward_removal.reserve(edges.size());
    for (const edge& e : edges)
        edges_before_forward_removal.emplace_back(e.from.id, e.to.id);
    // Only edges leaving aggregates are erased here, each while its aggregate
    // is visited, and a type name is no aggregate: the edges read below are
    // those the pass began with.
    edge_set removed;
    for (const node& n : nodes) {
        if (!n.is_aggr()) continue;
        std::vector<edge> forward;
        for (auto it = edges.lower_bound(edge::first_from(n.id));
             it != edges.end() && it->from.id == n.id; ++it) {
            const node& s = it->to;
            if (!s.object || s.object->name.compare(0, 5, "type:") != 0) continue;
            if (!edges.count(edge::key(s.id, n.id))) continue;
            forward.push_back(*it);
        }
        for (const edge& f : forward) {
            edges.erase(f);
            removed.insert(f);
        }
    }

    trace_cycle_edges("Removed forward edges");
    if (tracing_cycle_edges()) {
        std::ostringstream list;
        for (const edge& r : removed)
            list << r << ";\n";
        trace_cycle_edges(list.str());
    }

    for (const edge& r : removed) {
        // A type name that needs no more than the aggregate's tag (it names
        // it behind a pointer, or only reaches it through its own structure's
        // members) passes nothing on: a user that needs the aggregate whole
        // says so in a fact of its own.
        if (tag_only_edges.count(r)) continue;
        // The edges leaving the type name form one range of the ordered set.
        // Only edges leaving aggregates are erased or inserted here, so that
        // range is the one the pass began with.
        for (auto it = edges.lower_bound(edge::first_from(r.to.id));
             it != edges.end() && it->from.id == r.to.id; ++it) {
            if (it->to.id == r.from.id) continue;
            // A user that needs no more than the tag gets it from the type
            // name, which declares it.
            if (tag_only_edges.count(edge(r.from, it->to))) continue;
            trace_cycle_edges("insert edge:");
            if (tracing_cycle_edges()) {
                std::ostringstream text;
                text << '"' << r.from << '"' << "->" << '"' << it->to << '"';
                trace_cycle_edges(text.str());
            }
            edges.insert(edge(r.from, it->to));
        }
    }
}
