// Use facts ("<kind> <user> <used>", kind from fact_kind::definition_uses to
// fact_kind::declaration_uses) make an edge from the used unit to its user.
// Type-like units that are used before they are declared are created on
// demand; unknown functions and variables are not.
#include "header/graph.h"

#include "contract/fact_kind.h"

namespace {
bool never_created_on_demand(const std::string& name) {
    const std::string kind = name.substr(0, name.find(':'));
    return kind == "func" || kind == "var";
}
} // namespace

void graph::parse_edge(int k, const std::string& user, const std::string& used) {
    const int kind = fact_kind::definition_uses + k;
    const bool used_define = kind == fact_kind::definition_uses_definition;
    const bool user_define =
        kind == fact_kind::definition_uses || kind == fact_kind::definition_uses_definition;

    // One index lookup per name: the entry holds both kinds of unit.
    const unit_entry* used_units = unit_entry_of(used);
    node from = first_unit(used_units, used, used_define);
    if (!from.object) from = first_unit(used_units, used, !used_define);
    if (!from.object) {
        if (never_created_on_demand(used)) return;
        from = add_unit(used, used_define, false);
    }
    const unit_entry* user_units = unit_entry_of(user);
    node to = first_unit(user_units, user, user_define);
    // A use stated for a definition that this unit only declares (the array
    // size of an extern variable, a name inside a typedef) belongs to the
    // declaration; dropping it would lose the dependency.
    if (!to.object) to = first_unit(user_units, user, !user_define);
    if (!to.object) {
        if (never_created_on_demand(user)) return;
        to = add_unit(user, user_define, false);
    }
    edges.insert(edge(from, to));
}
