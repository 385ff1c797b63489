// Orders the units of one generated file so that every unit comes after the
// units it uses. Of the units free of pending uses, the one that came first in
// the source goes next, so the file keeps the original order wherever that
// order is valid; a cycle is broken at the type-like unit that came first in
// the original text among those that need none of the others complete.
#include "header/graph.h"

#include "codegen/emission_index.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <set>

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

// The handle the edge from unit number `from` to unit number `to` carries for
// its used end.
node user_of_edge(const edge_set& deps, int from, int to) {
    for (auto it = deps.lower_bound(edge::first_from(from));
         it != deps.end() && it->from.id == from; ++it)
        if (it->to.id == to) return it->from;
    return node();
}

// The unit at which a cycle of the remaining units is broken. The original
// text compiled, so a unit none of whose pending uses stood before it needs
// none of them complete (a pointer or a prototype only): the first such unit
// in the text goes first, and the structure that holds another by value
// still comes after it. Without one, the type-like unit on which most
// remaining nodes depend (reach sizes from `index` when it counts along
// `deps`). `pending` maps a unit's number to the numbers of the remaining units
// it still uses.
node cycle_breaker(const node_set& remaining, const std::map<int, std::map<int, node>>& pending,
                   const edge_set& deps, emission_index* index) {
    if (index && &index->unit_edges() != &deps) index = nullptr;
    node first;
    bool found = false;
    for (const node& n : remaining) {
        const ProgramUnit* unit = as_unit(n);
        if (!breaks_cycles(n) || !unit || unit->new_begin == 0) continue; // never read
        bool free = true;
        auto uses = pending.find(n.id);
        if (uses != pending.end())
            for (const auto& used : uses->second)
                if (stood_before(user_of_edge(deps, used.first, n.id), n)) {
                    free = false;
                    break;
                }
        if (free && (!found || stood_before(n, first))) {
            first = n;
            found = true;
        }
    }
    if (found) return first;

    node best;
    std::size_t best_size = 0;
    for (const node& n : remaining) {
        if (!breaks_cycles(n)) continue;
        const std::size_t size = index ? index->units_reached(n) : reachable_from(n, deps).size();
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

// Steps: of the units that no remaining unit uses, the first by source position
// (then by number) goes out; taking units out one at a time, the one that
// stood first goes before a unit that was free earlier (a structure before the
// prototype that names it after it, which would otherwise need a forward
// declaration). When every remaining unit is used by another, the cycle
// breaker goes out. The uses still pending per unit are kept up to date as
// units go out, so a step costs the edges of the unit it takes out.
//
// Handles: from a step that takes a free unit out, a unit still waiting is held
// by the user's handle of the edge from the lowest-numbered unit it still uses
// (an edge may carry another object for the same number); a unit that never
// waits through such a step keeps the caller's handle.
std::vector<node> graph::topological_ordering(const node_set& unit_set, const edge_set& deps) {
    std::vector<node> result;
    node_set units = unit_set;
    // Edges between the units, in edge order: each unit's outgoing range.
    std::vector<edge> inner;
    for (const node& u : units)
        for (auto it = deps.lower_bound(edge::first_from(u.id));
             it != deps.end() && it->from.id == u.id; ++it)
            if (it->from != it->to && units.count(it->to)) inner.push_back(*it);
    std::map<int, std::vector<int>> users_of; // unit number -> the units using it
    // unit number -> (number of a unit it uses -> the edge's handle of the user)
    std::map<int, std::map<int, node>> pending;
    std::set<int> changed; // units whose pending uses changed since their handle was set
    for (const edge& e : inner) {
        users_of[e.from.id].push_back(e.to.id);
        pending[e.to.id].emplace(e.from.id, e.to);
        changed.insert(e.to.id);
    }
    // The free units, first by source position (a handle that is no program
    // unit before every unit), then by number.
    auto first_in_text = [](const node& a, const node& b) {
        const ProgramUnit* x = as_unit(a);
        const ProgramUnit* y = as_unit(b);
        const int pa = x ? x->new_begin : -1, pb = y ? y->new_begin : -1;
        return pa != pb ? pa < pb : a.id < b.id;
    };
    std::set<node, decltype(first_in_text)> ready(first_in_text);
    for (const node& n : units)
        if (!pending.count(n.id)) ready.insert(n);
    // Takes n out; the users it leaves with nothing pending are ready next.
    auto take_out = [&](const node& n, std::vector<node>& freed) {
        units.erase(n);
        auto out = users_of.find(n.id);
        if (out == users_of.end()) return;
        for (int user : out->second) {
            std::map<int, node>& uses = pending[user];
            uses.erase(n.id);
            changed.insert(user);
            if (!uses.empty()) continue;
            // A cycle breaker went out before its uses did.
            auto held = units.find(node(user, nullptr));
            if (held != units.end()) freed.push_back(*held);
        }
    };
    while (!units.empty()) {
        if (on()) {
            for (const edge& e : inner)
                if (units.count(e.from) && units.count(e.to))
                    trace("\"" + name_of(e.from) + "\"->\"" + name_of(e.to) + "\"");
            trace("====== " + std::to_string(units.size()) + " " +
                  std::to_string(units.size() - ready.size()));
        }
        std::vector<node> freed;
        if (!ready.empty()) {
            for (int id : changed) {
                const std::map<int, node>& uses = pending[id];
                auto held = units.find(node(id, nullptr));
                if (uses.empty() || held == units.end()) continue;
                units.erase(held);
                units.insert(uses.begin()->second);
            }
            changed.clear();
            const node n = *ready.begin();
            ready.erase(ready.begin());
            if (on()) trace(name_of(n) + "_______");
            result.push_back(n);
            take_out(n, freed);
        } else {
            const node breaker = cycle_breaker(units, pending, deps, emission.get());
            if (on()) trace(name_of(breaker) + "xxxxxxxx");
            result.push_back(breaker);
            take_out(breaker, freed);
        }
        ready.insert(freed.begin(), freed.end());
    }
    return result;
}
