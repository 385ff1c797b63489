// First cleaning step: system definitions that nothing in this unit uses, and
// function or variable declarations without a source position (implicit or
// built-in declarations).
#include "header/graph.h"

#include <algorithm>
#include <vector>

namespace {
bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

void graph::remove_system_definitions() {
    for (auto it = nodes.begin(); it != nodes.end();) {
        const ProgramUnit* unit = as_unit(*it);
        const bool unused_system = unit && unit->is_define() && is_system_file(unit->file()) &&
                                   out_degree(*it, edges) == 0;
        const bool implicit = unit && !unit->is_define() && unit->begin == 0 &&
                              (starts_with(unit->name, "var:") || starts_with(unit->name, "func:"));
        it = unused_system || implicit ? nodes.erase(it) : std::next(it);
    }
    remove_dangling_edges();
}

void graph::remove_dangling_edges() {
    // The numbers of the nodes, ascending as the set holds them: a search in
    // one array is cheaper than two lookups in the set per edge.
    std::vector<int> ids;
    ids.reserve(nodes.size());
    for (const node& n : nodes)
        ids.push_back(n.id);
    auto present = [&ids](int id) { return std::binary_search(ids.begin(), ids.end(), id); };
    for (auto it = edges.begin(); it != edges.end();) {
        if (present(it->from.id) && present(it->to.id))
            ++it;
        else
            it = edges.erase(it);
    }
}
