// Merging one fact file's graph into the graph accumulated from the earlier
// files: units already present are recognised (same name, or same source
// position for unnamed units) and take the existing number; the others are
// renumbered past the largest accumulated number.
#include "header/graph.h"

#include "loading/merge_candidates.h"

#include <algorithm>
#include <vector>

namespace {
// The edges of `from` renumbered through `new_id_of`; an edge with an end that
// has no new number (an end that left the graph) is dropped, never attached to
// another node. The renumbered edges are inserted in ascending order, each at
// the place a lookup finds: neighbouring lookups walk the same part of a large
// accumulated set. Of several edges that become one, the first in the order of
// `from` is the one kept, as inserting them one by one would keep it.
void renumber_edges(const edge_set& from, const std::map<int, int>& new_id_of, edge_set& into) {
    std::vector<edge> renumbered;
    renumbered.reserve(from.size());
    for (const edge& e : from) {
        auto a = new_id_of.find(e.from.id);
        auto b = new_id_of.find(e.to.id);
        if (a == new_id_of.end() || b == new_id_of.end()) continue;
        edge moved = e;
        moved.from.id = a->second;
        moved.to.id = b->second;
        warn_empty_nodes(moved.from, moved.to); // as building the edge anew does
        renumbered.push_back(moved);
    }
    std::stable_sort(renumbered.begin(), renumbered.end());
    for (const edge& e : renumbered) {
        auto at = into.lower_bound(e);
        if (at == into.end() || !(*at == e)) into.insert(at, e);
    }
}
} // namespace

void graph::merge_file_graph(accumulated_graph& acc) {
    if (acc.nodes.empty()) {
        acc.nodes = nodes;
        acc.edges = edges;
        acc.unit_texts = unit_texts;
        acc.file_edges = file_edges;
        candidates.reset(); // the accumulated nodes were replaced as a whole
        return;
    }
    const int offset = acc.nodes.rbegin()->id + 1;
    new_id_of.clear();
    const node_set all = nodes;
    for (const node& n : all) {
        if (n.is_program_unit()) {
            link_node(offset, n, acc.nodes, acc.unit_texts, true);
        } else if (Implement* file = as_implement(n)) {
            for (node& u : file->members)
                u.id = link_node(offset, u, acc.nodes, acc.unit_texts, false);
            link_node(offset, n, acc.nodes, acc.unit_texts, true);
        }
    }
    renumber_edges(edges, new_id_of, acc.edges);
    renumber_edges(file_edges, new_id_of, acc.file_edges);
}

int graph::link_node(int offset, node n, node_set& acc, std::map<int, std::string>& texts,
                     bool add) {
    if (!candidates) candidates = std::make_shared<merge_candidates>();
    const ProgramUnit* unit = as_unit(n);
    if (unit && !acc.empty()) {
        candidates->follow(acc);
        const node match = candidates->first_match(*unit);
        if (match.object) {
            // A unit first met only by name (a structure that an earlier file
            // mentions but does not define) takes its text from the file
            // that has it; otherwise the text would be lost.
            auto text = unit_texts.find(n.id);
            std::string& known = texts[match.id];
            if (known.empty() && text != unit_texts.end()) {
                known = text->second;
                as_unit(match)->pragmas = unit->pragmas;
            }
            return new_id_of[n.id] = match.id;
        }
    }
    const int new_id = n.id + offset;
    new_id_of[n.id] = new_id;
    if (add) {
        node renumbered = n;
        renumbered.id = new_id;
        candidates->follow(acc); // in step with acc before it grows
        if (acc.insert(renumbered).second) candidates->added(acc, renumbered);
    }
    if (unit) {
        auto text = unit_texts.find(n.id);
        texts[new_id] = text == unit_texts.end() ? std::string() : text->second;
    }
    return new_id;
}
