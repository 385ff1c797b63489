// Counting program units per header file: every unit adds one to the counter
// of the file it lies in, and every header then gets the sum over the headers
// it includes, directly or indirectly. The first count (during loading) uses
// units_before, the second (after extraction) units_after.
#include "header/graph.h"

#include <vector>

void graph::update_count_program_units(std::string key, bool first) {
    node& entry = file_node_by_name[key];
    Header* file = as_header(entry);
    if (!file) return;
    (first ? file->units_before : file->units_after) += 1;
    header_nodes.insert(entry);
}

void graph::update_header_node(const node& n, bool first) {
    const ProgramUnit* unit = as_unit(n);
    // A definition is counted where it starts, since the context file of its
    // location may name the including source instead.
    const std::string file = unit && unit->is_define() ? unit->start_file : n.file();
    update_count_program_units("file:" + file, first);
}

namespace {
// H and every file it includes, directly or indirectly.
node_set inclusion_closure(const node& h) {
    node_set closure{h};
    std::vector<node> pending{h};
    while (!pending.empty()) {
        const Header* file = as_header(pending.back());
        pending.pop_back();
        if (!file) continue;
        for (const node& m : file->members)
            if (closure.insert(m).second) pending.push_back(m);
    }
    return closure;
}
} // namespace

void graph::update_headers(const std::vector<node>& v, bool first) {
    header_nodes.clear();
    // Without file facts ("-x") there is no header to count.
    if (file_node_by_name.empty()) return;
    for (const node& n : v) {
        if (n.is_program_unit()) {
            update_header_node(n, first);
        } else if (const Header* h = as_header(n)) {
            for (const node& m : h->members)
                update_header_node(m, first);
        } else if (const Implement* f = as_implement(n)) {
            for (const node& m : f->members)
                update_header_node(m, first);
        }
    }

    const bool use_after = !first || file_facts_seen;
    for (const node& h : header_nodes) {
        if (!h.object || h.object->name == "file:") continue;
        int& sum = header_unit_count[h.object->name];
        sum = 0;
        for (const node& m : inclusion_closure(h))
            if (const Header* file = as_header(m))
                sum += use_after ? file->units_after : file->units_before;
    }

    for (const node& f : included_files) {
        Header* file = as_header(f);
        if (!file) continue;
        const int sum = header_unit_count[file->name];
        (first ? file->units_before : file->units_after) = sum;
    }
}
