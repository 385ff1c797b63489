// The emission walk over the compressed graph: one header file for every group
// shared by two or more leaves, one source for every implementation file, and
// the inline expansion of headers that only one leaf needs.
#include "header/graph.h"

#include "codegen/emission_index.h"
#include "codegen/output_file.h"
#include "graph/progress.h"

#include <algorithm>
#include <iostream>

namespace {
// The guard name of a header: its name after the last "/", up to the first ".".
std::string guard_stem(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    return base.substr(0, base.find('.'));
}

void announce_file(const std::string& name) {
    announce(" " + name + "...");
}

// The program units of header n to write where n is written or expanded: all
// of them when n has two or more users, those not yet written when it has one.
std::vector<node> units_to_write(const graph& g, const node& n, int users) {
    std::vector<node> units;
    for (const node& m : as_header(n)->members)
        if (m.is_program_unit() && (users >= 2 || (users == 1 && !g.emitted_units.count(m))))
            units.push_back(m);
    return units;
}

// out_degree(n, c.edges), from the emission tables when they are built: a
// header every source uses has as many edges as there are sources, and the
// walk asks for it once per file.
int users_in(const graph& c, const emission_index* index, const node& n) {
    return index ? index->users_of(n) : c.out_degree(n, c.edges);
}
} // namespace

void graph::N_codegen(node& n) {
    graph& c = *compressed;
    if (Header* header = as_header(n)) {
        const node_set members = header->members;
        for (node m : members)
            if (!m.is_program_unit()) N_codegen(m);
        // The synthetic root only gathers the graph: it is never written, even
        // when its one member would lend it a file name.
        if (n.id == root_number) return;
        std::vector<node> units = units_to_write(*this, n, users_in(c, emission.get(), n));
        if (units.empty()) {
            const std::string name = get_filename(n);
            if (n.is_define() && name != "-1.c") {
                output_file out(name);
                announce_file(name);
                out << " ";
            }
            return;
        }
        if (!n.is_define()) {
            // A header needed by one leaf only is expanded where it is used.
            if (compressed_leaves_reached(n) < 2) return;
            const std::string name = get_header_name(n);
            if (name.empty() || name == "-1.h") return;
            output_file out(name);
            announce_file(name);
            const std::string stem = guard_stem(name);
            std::string text = "#ifndef HEADER_" + stem + "\n#define HEADER_" + stem + "\n";
            declared_tags.clear();
            V_codegen(n.id, text, units, 2);
            out << text << "#endif\n";
            tags_of_header[n.id] = declared_tags;
            return;
        }
        const std::string name = get_filename(n);
        if (name == "-1.c") return;
        output_file out(name);
        announce_file(name);
        std::string text;
        declared_tags.clear();
        V_codegen(n.id, text, units, 1);
        out << text;
    } else if (Implement* file = as_implement(n)) {
        // Every source gets its rewritten file, even one with nothing of its
        // own (a file disabled by #ifdef): its build still compiles it.
        const std::string name = get_filename(n);
        if (name == "-1.c") return;
        output_file out(name);
        announce_file(name);
        emitted_units.clear();
        declared_tags.clear();
        std::string text;
        V_codegen(n.id, text, file->members, n.is_define() ? 1 : 2);
        out << text;
    } else {
        std::cout << "Warning: should not have a program_unit here " << std::endl;
    }
}

void graph::N_codegen(std::string& text, node& n) {
    Header* header = as_header(n);
    if (!header) return;
    graph& c = *compressed;
    const node_set members = header->members;
    for (node m : members)
        if (!m.is_program_unit()) N_codegen(text, m);
    std::vector<node> units = units_to_write(*this, n, users_in(c, emission.get(), n));
    if (!units.empty()) V_codegen(n.id, text, units, n.is_define() ? 1 : 2);
}

namespace {
// True when another member of `direct` is reachable from x through header
// nodes: that header uses x and brings it in (as an include or expanded).
bool brought_in_by_another(const graph& c, const emission_index* index, const node& x,
                           const node_set& direct) {
    node_set reached;
    std::vector<node> pending{x};
    // Only the edges to headers matter; the tables hold just those, where the
    // edge set would give every user of a widely used header.
    auto follow = [&](const node& to) {
        if (!to.is_header() || !reached.insert(to).second) return false;
        if (to != x && direct.count(to)) return true;
        pending.push_back(to);
        return false;
    };
    while (!pending.empty()) {
        const node from = pending.back();
        pending.pop_back();
        if (index) {
            for (const node& to : index->headers_using(from.id))
                if (follow(to)) return true;
            continue;
        }
        for (auto it = c.edges.lower_bound(edge::first_from(from.id));
             it != c.edges.end() && it->from.id == from.id; ++it)
            if (follow(it->to)) return true;
    }
    return false;
}

// The headers file `number` includes: its direct predecessors that are
// headers, without those that another of them already brings in.
std::vector<node> include_list(const graph& c, const emission_index* index, int number) {
    node_set scanned;
    if (!index)
        for (const edge& e : c.edges)
            if (e.to.id == number && e.from.id != number && e.from.is_header())
                scanned.insert(e.from);
    const node_set& direct = index ? index->headers_used_by(number) : scanned;
    if (direct.size() < 2) return std::vector<node>(direct.begin(), direct.end());
    std::vector<node> kept;
    for (const node& x : direct)
        if (!brought_in_by_another(c, index, x, direct)) kept.push_back(x);
    return kept;
}
} // namespace

void graph::V_codegen(int number, std::string& out, std::vector<node>& units, int mode) {
    std::vector<node>& order = units_by_order[number];
    if (order.size() != units.size()) {
        if (mode == 1)
            std::stable_sort(units.begin(), units.end(), cmp_node());
        else
            units = topological_ordering(node_set(units.begin(), units.end()), file_edges);
        order = units;
    }
    graph& c = *compressed;
    for (node x : include_list(c, emission.get(), number)) {
        if (users_in(c, emission.get(), x) == 1 && mode == 1)
            N_codegen(out, x);
        else
            S_codegen(out, x);
    }
    for (node& u : units)
        S_codegen(out, u);
}
