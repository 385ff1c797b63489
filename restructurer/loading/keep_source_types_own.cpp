// A type written in a source's own text (a structure private to ldo.c; its
// file is the preprocessed source <unit>.cpp.c) is that source's own. A unit of
// a header that names it (lstate.h's `struct lua_longjmp *errorJmp;`) compiles
// without it in every other source, so it cannot need it complete: the edge
// from the type to that header unit is replaced by edges to the source's
// definitions that the header unit reaches. The source keeps the type where
// its own code may need it complete (through a member of the header's
// structure), and no other source gets it through the header unit.
#include "header/graph.h"

#include "contract/unit_files.h"

#include <vector>

namespace {
bool own_source_type(const node& n) {
    const ProgramUnit* u = as_unit(n);
    if (!u || u->is_define()) return false;
    if (u->name.compare(0, 5, "func:") == 0 || u->name.compare(0, 4, "var:") == 0) return false;
    return is_preprocessed_source(u->file());
}

std::string text_file(const node& n) {
    const ProgramUnit* u = as_unit(n);
    if (!u) return "";
    return u->is_define() ? u->start_file : u->file();
}
} // namespace

void graph::keep_source_types_own() {
    std::vector<edge> removed;
    for (const edge& e : edges)
        if (own_source_type(e.from) && e.to.is_program_unit() && !e.to.is_define() &&
            text_file(e.to) != e.from.file())
            removed.push_back(e);
    if (removed.empty()) return;
    edge_set added;
    for (const edge& r : removed) {
        // The definitions the header unit reaches, walking the edges.
        node_set seen{r.to};
        std::vector<node> pending{r.to};
        while (!pending.empty()) {
            const node n = pending.back();
            pending.pop_back();
            for (auto it = edges.lower_bound(edge::first_from(n.id));
                 it != edges.end() && it->from.id == n.id; ++it) {
                if (!seen.insert(it->to).second) continue;
                if (it->to.is_define())
                    added.insert(edge(r.from, it->to));
                else
                    pending.push_back(it->to);
            }
        }
    }
    for (const edge& r : removed)
        edges.erase(r);
    edges.insert(added.begin(), added.end());
}
