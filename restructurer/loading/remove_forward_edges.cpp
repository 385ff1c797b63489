// Breaks the two-unit cycles between an aggregate and a type name defined from
// it (struct list uses list_t, list_t uses struct list): the edge from the
// aggregate to the type name is dropped, and every other user of the type name
// is made to use the aggregate directly, unless it needs no more than the
// aggregate's tag.
#include "header/graph.h"

#include "loading/merge_candidates.h"
#include "loading/trace.h"

#include <sstream>

namespace {
// A named aggregate that the typedef defines in its own statement (`typedef
// struct S {...} T;`): same file, the aggregate's lines inside the typedef's.
bool defined_in_statement(const node& aggregate, const node& type) {
    const ProgramUnit* a = as_unit(aggregate);
    const ProgramUnit* t = as_unit(type);
    return a && t && !anonymous_name(a->name) && a->begin > 0 && a->file() == t->file() &&
           t->begin <= a->begin && a->end <= t->end;
}
} // namespace

void graph::remove_forward_edges() {
    rebuild_adjacency();
    const node_set all = nodes;
    edge_set removed;
    for (const node& n : all) {
        if (!n.is_aggr()) continue;
        const node_set users = successors[n];
        for (const node& s : users) {
            if (!s.object || s.object->name.compare(0, 5, "type:") != 0) continue;
            if (!successors[s].count(n)) continue;
            const edge forward(n, s);
            // A typedef that defines a named structure in its statement keeps
            // it: wherever the typedef is, the structure is read with it, and
            // the two are cut apart, or kept as one, only with their text
            // (split_typedef_block). The structure's use of the typedef goes.
            edges.erase(defined_in_statement(n, s) ? edge(s, n) : forward);
            removed.insert(forward);
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
