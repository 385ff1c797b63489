// First cleaning step: system definitions that nothing in this unit uses, and
// function or variable declarations without a source position (implicit or
// built-in declarations).
#include "header/graph.h"

namespace {
bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

void graph::remove_system_definitions() {
    const node_set all = nodes;
    for (const node& n : all) {
        const ProgramUnit* unit = as_unit(n);
        if (!unit) continue;
        if (unit->is_define() && is_system_file(unit->file()) && out_degree(n, edges) == 0)
            nodes.erase(n);
        if (!unit->is_define() && unit->begin == 0 &&
            (starts_with(unit->name, "var:") || starts_with(unit->name, "func:")))
            nodes.erase(n);
    }
    remove_dangling_edges();
}

void graph::remove_dangling_edges() {
    for (auto it = edges.begin(); it != edges.end();) {
        if (nodes.count(it->from) && nodes.count(it->to))
            ++it;
        else
            it = edges.erase(it);
    }
}
