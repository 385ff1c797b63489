// Uses that need no more than a structure's tag ("5 user used" for a
// definition, "6 user used" for a declaration): the user names the structure
// only behind pointers, in prototypes or extern declarations, or reaches a
// type only through the members of other types. Their edges are dropped, so
// that the structure's definition (and all it needs) reaches only the units
// that use it whole; a user whose text names the tag gets a forward
// declaration (`struct S;`) ahead of its text instead.
#include "header/graph.h"

#include "contract/fact_kind.h"

#include "loading/merge_candidates.h"

void graph::parse_tag_only(int kind, const std::string& user, const std::string& used) {
    const unit_entry* used_units = unit_entry_of(used);
    node from = first_unit(used_units, used, false);
    if (!from.object) from = first_unit(used_units, used, true);
    const bool define = kind == fact_kind::definition_uses_tag;
    const unit_entry* user_units = unit_entry_of(user);
    node to = first_unit(user_units, user, define);
    if (!to.object) to = first_unit(user_units, user, !define);
    // Facts come after the uses they qualify: a unit missing here has no edge.
    if (!from.object || !to.object) return;
    tag_only_edges.insert(edge(from, to));
}

void graph::drop_tag_only_edges() {
    for (const edge& e : tag_only_edges) {
        if (!edges.erase(e)) continue;
        if (e.from.object && e.from.is_aggr() && !anonymous_name(e.from.object->name))
            tag_only_aggregates[e.to.id].insert(e.from);
    }
}
