// Finding and creating the program units of the fact file being loaded. A unit
// is known by its name and by whether it is a definition; the index returns
// the unit with the smallest number, which is the one a scan of `nodes` in
// number order finds first.
#include "header/graph.h"

node graph::find_unit(const std::string& name, bool define) {
    if (unit_index_size != nodes.size()) {
        // Nodes were added or removed outside the loaders: index them afresh.
        unit_index[0].clear();
        unit_index[1].clear();
        for (const node& n : nodes)
            if (n.object) unit_index[n.is_define()][n.object->name].insert(n.id);
        unit_index_size = nodes.size();
    }
    auto entry = unit_index[define].find(name);
    if (entry == unit_index[define].end()) return node();
    for (int id : entry->second) {
        auto it = nodes.find(node(id, nullptr));
        if (it != nodes.end() && it->object && it->is_define() == define &&
            it->object->name == name)
            return *it;
    }
    return node();
}

namespace {
bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

node graph::add_unit(const std::string& name, bool define, bool function_definition) {
    find_unit(name, define); // brings the index up to date before it grows
    auto* unit = make_node<ProgramUnit>(name);
    unit->declaration = !define;
    unit->aggr = starts_with(name, "struct:") || starts_with(name, "union:");
    unit->func_define = function_definition && starts_with(name, "func:");
    unit->static_unit = name.find(":static:") != std::string::npos;
    const node n(static_cast<int>(nodes.size()), unit);
    nodes.insert(n);
    unit_index[define][name].insert(n.id);
    unit_index_size = nodes.size();
    return n;
}
