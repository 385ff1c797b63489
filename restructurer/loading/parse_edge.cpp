// Use facts: "<2|3|4> <user> <used>" makes an edge from the used unit to its
// user. Type-like units that are used before they are declared are created on
// demand; unknown functions and variables are not.
#include "header/graph.h"

namespace {
bool never_created_on_demand(const std::string& name) {
    const std::string kind = name.substr(0, name.find(':'));
    return kind == "func" || kind == "var";
}
} // namespace

void graph::parse_edge(int k, const std::string& user, const std::string& used) {
    const bool used_define = k == 1;
    const bool user_define = k == 0 || k == 1;

    node from = find_unit(used, used_define);
    if (!from.object) from = find_unit(used, !used_define);
    if (!from.object) {
        if (never_created_on_demand(used)) return;
        from = add_unit(used, used_define, false);
    }
    node to = find_unit(user, user_define);
    // A use stated for a definition that this unit only declares (the array
    // size of an extern variable, a name inside a typedef) belongs to the
    // declaration; dropping it would lose the dependency.
    if (!to.object) to = find_unit(user, !user_define);
    if (!to.object) {
        if (never_created_on_demand(user)) return;
        to = add_unit(user, user_define, false);
    }
    edges.insert(edge(from, to));
}
