// Orders the units of one generated file so that every unit comes after the
// units it uses. Units free of pending uses go first, by source position; a
// cycle is broken at the type-like unit that came first in the original text
// among those that need none of the others complete.
#include "header/graph.h"

#include <algorithm>
#include <iostream>
#include <map>

namespace {
bool on() {
    return graph::config.accept("debug topological_ordering");
}

void trace(const std::string& text) {
    std::cout << "debug topological_ordering"
              << ":" << text << std::endl;
}

std::string name_of(const node& n) {
    return std::to_string(n.id) + (n.object ? n.object->name : std::string());
}

bool breaks_cycles(const node& n) {
    if (!n.is_program_unit()) return true;
    const std::string& name = n.object->name;
    return name.compare(0, 5, "func:") != 0 && name.compare(0, 4, "var:") != 0;
}

// True when unit p stood before unit x in the text they were read from: by
// line within one file, else by the line of the preprocessed source where
// each was read.
bool stood_before(const node& p, const node& x) {
    const ProgramUnit* a = as_unit(p);
    const ProgramUnit* b = as_unit(x);
    if (!a || !b) return false;
    const std::string& file_a = a->is_define() ? a->start_file : a->file();
    const std::string& file_b = b->is_define() ? b->start_file : b->file();
    if (file_a == file_b && a->begin > 0 && b->begin > 0) return a->begin < b->begin;
    return a->new_begin > 0 && b->new_begin > 0 && a->new_begin < b->new_begin;
}

// The unit at which a cycle of the remaining units is broken. The original
// text compiled, so a unit none of whose pending uses stood before it needs
// none of them complete (a pointer or a prototype only): the first such unit
// in the text goes first, and the structure that holds another by value
// still comes after it. Without one, the type-like unit on which most
// remaining nodes depend.
node cycle_breaker(const node_set& remaining, const std::vector<edge>& inner, const edge_set& deps) {
    std::map<node, std::vector<node>> pending_uses;
    for (const edge& e : inner)
        if (remaining.count(e.from) && remaining.count(e.to)) pending_uses[e.to].push_back(e.from);
    node first;
    bool found = false;
    for (const node& n : remaining) {
        const ProgramUnit* unit = as_unit(n);
        if (!breaks_cycles(n) || !unit || unit->new_begin == 0) continue; // never read
        bool free = true;
        for (const node& used : pending_uses[n])
            if (stood_before(used, n)) {
                free = false;
                break;
            }
        if (free && (!found || stood_before(n, first))) {
            first = n;
            found = true;
        }
    }
    if (found) return first;

    graph temporary;
    temporary.nodes = remaining;
    temporary.edges = deps;
    node best;
    std::size_t best_size = 0;
    for (const node& n : remaining) {
        if (!breaks_cycles(n)) continue;
        const std::size_t size = temporary.dominate_set(n).size();
        if (!found || size > best_size) {
            best = n;
            best_size = size;
            found = true;
        }
    }
    // A cycle of functions and variables only: take the lowest number.
    return found ? best : *remaining.begin();
}
} // namespace

std::vector<node> graph::topological_ordering(node_set units, edge_set deps) {
    std::vector<node> result;
    // Edges between the units; the set only shrinks, so no other edge matters
    // for the pending uses.
    std::vector<edge> inner;
    for (const edge& e : deps)
        if (e.from != e.to && units.count(e.from) && units.count(e.to)) inner.push_back(e);
    while (!units.empty()) {
        node_set blocked;
        for (const edge& e : inner)
            if (units.count(e.from) && units.count(e.to)) {
                blocked.insert(e.to);
                if (on()) trace("\"" + name_of(e.from) + "\"->\"" + name_of(e.to) + "\"");
            }
        if (on())
            trace("====== " + std::to_string(units.size()) + " " + std::to_string(blocked.size()));
        if (blocked.size() < units.size()) {
            std::vector<node> ready;
            for (const node& n : units)
                if (!blocked.count(n)) ready.push_back(n);
            std::stable_sort(ready.begin(), ready.end(), cmp_node());
            for (const node& n : ready) {
                if (on()) trace(name_of(n) + "_______");
                result.push_back(n);
            }
            units = std::move(blocked);
            continue;
        }
        const node breaker = cycle_breaker(units, inner, deps);
        if (on()) trace(name_of(breaker) + "xxxxxxxx");
        result.push_back(breaker);
        units.erase(breaker);
    }
    return result;
}
