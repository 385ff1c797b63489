// Description records written with "-g": the facts of a translation unit as
// they stand after cleaning and extraction, in the fact-file format the loader
// reads.
#include "header/graph.h"

#include <ostream>

void graph::generating_include_description(std::ostream& out, bool first, node_set s) {
    for (const node& n : s) {
        const Header* h = as_header(n);
        if (!h) continue; // only file nodes carry counts and inclusions
        if (first) {
            out << "-2 " << h->name << " " << h->units_before << ":" << h->units_after << "\n";
        } else {
            // Including file first, as the loader reads inclusion facts.
            for (const node& m : h->members)
                if (m.object) out << "-1 " << h->name << " " << m.object->name << "\n";
        }
    }
}

void graph::generating_nodes_descriptions(std::ostream& out, bool first, node_set s) {
    for (const node& n : s) {
        const ProgramUnit* u = as_unit(n);
        if (!u || u->is_define() != first || u->start_file.empty()) continue;
        out << (u->is_define() ? "0 " : "1 ") << u->name << " " << u->start_file << ":" << u->begin
            << ".1"
            << ":" << u->end << ".1";
        if (u->is_define() && u->file() != u->start_file) out << ":" << u->file();
        out << "\n";
    }
}

void graph::generating_edges_descriptions(std::ostream& out, bool first, node_set s) {
    for (const edge& e : edges) {
        if (!s.count(e.from) || !s.count(e.to)) continue;
        if (!e.from.is_program_unit() || !e.to.is_program_unit()) continue;
        if (e.to.is_define() != first) continue;
        out << (e.to.is_define() ? "2 " : "4 ") << e.to.object->name << " " << e.from.object->name
            << "\n";
    }
}
