// Description records written with "-g": the facts of a translation unit as
// they stand after cleaning and extraction, in the fact-file format the loader
// reads.
#include "header/graph.h"

#include "contract/fact_kind.h"
#include "contract/fact_line.h"

#include <ostream>

void graph::generating_include_description(std::ostream& out, bool first, node_set s) {
    for (const node& n : s) {
        const Header* h = as_header(n);
        if (!h) continue; // only file nodes carry counts and inclusions
        if (first) {
            write_fact_line(out, fact_kind::file_units, h->name,
                            std::to_string(h->units_before) + ":" + std::to_string(h->units_after));
        } else {
            // Including file first, as the loader reads inclusion facts.
            for (const node& m : h->members)
                if (m.object) write_fact_line(out, fact_kind::inclusion, h->name, m.object->name);
        }
    }
}

void graph::generating_nodes_descriptions(std::ostream& out, bool first, node_set s) {
    for (const node& n : s) {
        const ProgramUnit* u = as_unit(n);
        if (!u || u->is_define() != first || u->start_file.empty()) continue;
        std::string location =
            u->start_file + ":" + std::to_string(u->begin) + ".1:" + std::to_string(u->end) + ".1";
        if (u->is_define() && u->file() != u->start_file) location += ":" + u->file();
        write_fact_line(out, u->is_define() ? fact_kind::definition : fact_kind::declaration,
                        u->name, location);
    }
}

void graph::generating_edges_descriptions(std::ostream& out, bool first, node_set s) {
    for (const edge& e : edges) {
        if (!s.count(e.from) || !s.count(e.to)) continue;
        if (!e.from.is_program_unit() || !e.to.is_program_unit()) continue;
        if (e.to.is_define() != first) continue;
        write_fact_line(out,
                        e.to.is_define() ? fact_kind::definition_uses : fact_kind::declaration_uses,
                        e.to.object->name, e.from.object->name);
    }
}
