// Finding and creating the program units of the fact file being loaded. A unit
// is known by its name and by whether it is a definition; the index returns
// the unit with the smallest number, which is the one a scan of `nodes` in
// number order finds first.
#include "header/graph.h"

#include <algorithm>

void graph::forget_units() {
    ++unit_index_generation;
    unit_index_size = 0;
}

graph::unit_entry& graph::current_entry(unit_entry& entry) {
    if (entry.generation != unit_index_generation) {
        entry.ids[0].clear();
        entry.ids[1].clear();
        entry.generation = unit_index_generation;
    }
    return entry;
}

graph::unit_entry* graph::unit_entry_of(const std::string& name) {
    if (unit_index_size != nodes.size()) {
        // Nodes were added or removed outside the loaders: index them afresh.
        forget_units();
        for (const node& n : nodes)
            if (n.object)
                current_entry(unit_index[n.object->name]).ids[n.is_define()].push_back(n.id);
        unit_index_size = nodes.size();
    }
    auto& recent = recent_entries.slots;
    for (const auto& [known, entry] : recent)
        if (known && *known == name) return &current_entry(*entry);
    auto entry = unit_index.find(name);
    if (entry == unit_index.end()) return nullptr;
    recent[1] = recent[0];
    recent[0] = {&entry->first, &entry->second};
    return &current_entry(entry->second);
}

node graph::first_unit(const unit_entry* entry, const std::string& name, bool define) const {
    if (!entry) return node();
    for (int id : entry->ids[define]) {
        auto it = nodes.find(node(id, nullptr));
        if (it != nodes.end() && it->object && it->is_define() == define &&
            it->object->name == name)
            return *it;
    }
    return node();
}

node graph::find_unit(const std::string& name, bool define) {
    return first_unit(unit_entry_of(name), name, define);
}

namespace {
bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

node graph::add_unit(const std::string& name, bool define, bool function_definition) {
    unit_entry_of(name); // brings the index up to date before it grows
    auto* unit = make_node<ProgramUnit>(name);
    unit->declaration = !define;
    unit->aggr = starts_with(name, "struct:") || starts_with(name, "union:");
    unit->func_define = function_definition && starts_with(name, "func:");
    unit->static_unit = name.find(":static:") != std::string::npos;
    const node n(static_cast<int>(nodes.size()), unit);
    nodes.insert(n);
    // The numbers of an entry stay ascending and distinct.
    std::vector<int>& ids = current_entry(unit_index[name]).ids[define];
    if (ids.empty() || ids.back() < n.id)
        ids.push_back(n.id);
    else if (!std::binary_search(ids.begin(), ids.end(), n.id))
        ids.insert(std::lower_bound(ids.begin(), ids.end(), n.id), n.id);
    unit_index_size = nodes.size();
    return n;
}
