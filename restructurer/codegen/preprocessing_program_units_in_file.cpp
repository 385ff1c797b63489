// Program-unit text extraction for one translation unit: reads the unit's
// preprocessed source, then removes the declarations nobody uses, writes the
// reduced copy ("-c"), counts units per header again, rewrites the fact file
// ("-g"), and folds the unit's definitions and static units into one
// implementation-file node.
#include "header/graph.h"

#include "codegen/output_file.h"
#include "codegen/unit_extraction.h"
#include "graph/progress.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {
// `path` up to its last "." (the whole path without one) followed by `ending`.
std::string replace_extension(const std::string& path, const std::string& ending) {
    const std::size_t dot = path.rfind('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ending;
}

// The fact file of a preprocessed source: x.cpp.c gives x.rsf.
std::string fact_file_of(const std::string& path) {
    const std::size_t at = path.rfind(".cpp.c");
    return (at == std::string::npos ? path : path.substr(0, at)) + ".rsf";
}

int next_free_number(const node_set& nodes) {
    return !nodes.empty() && nodes.rbegin()->id > 0 ? nodes.rbegin()->id + 1 : 1;
}
} // namespace

void graph::preprocessing_program_units_in_file(std::string path) {
    std::ifstream in(path);
    if (!in) return;
    construct_leaves();
    unit_extraction extraction(*this, path);
    extraction.read(in);
    in.close();
    construct_leaves();
    remove_unused_declarations();

    std::vector<node> collected = extraction.collected();
    if (reduce_only) {
        const std::string copy = replace_extension(path, ".new.c");
        output_file out(copy);
        announce(" " + copy + "...");
        std::string text;
        for (node& u : collected)
            S_codegen(text, u);
        out << text;
    }
    std::cout << "SIZE NODE : " << collected.size() << std::endl;
    update_headers(collected, false);

    if (generate_facts) {
        output_file out(fact_file_of(path));
        node_set units;
        for (const node& n : nodes)
            if (n.is_program_unit()) units.insert(n);
        std::ostringstream records;
        generating_include_description(records, true, included_files);
        generating_include_description(records, false, included_files);
        generating_nodes_descriptions(records, true, units);
        generating_nodes_descriptions(records, false, units);
        generating_edges_descriptions(records, true, units);
        generating_edges_descriptions(records, false, units);
        out << records.str();
    }
    if (reduce_only) return;

    // The unit-level edges order the units inside one generated file.
    file_edges = edges;
    // A source with no definition of its own (a file disabled by #ifdef)
    // still gets its implementation-file node, and so its rewritten source.
    const std::vector<node>& members = extraction.members();
    auto* file = make_node<Implement>(path);
    file->members = members;
    const node f(next_free_number(nodes), file);
    nodes.insert(f);
    fold_into_implementation_file(f, members);
}

// Every edge between a member and a unit outside the file now has the file
// at the member's end; edges between members, and to definitions or static
// units outside, go; a loop on a member stays. Doing this member by member
// gives the same edges, since a member is always a definition or static.
void graph::fold_into_implementation_file(const node& f, const std::vector<node>& members) {
    const node_set inside(members.begin(), members.end());
    std::vector<edge> erased, added;
    for (const edge& e : edges) {
        const bool from_inside = inside.count(e.from) > 0, to_inside = inside.count(e.to) > 0;
        if (!from_inside && !to_inside) continue;
        if (e.from == e.to) continue;
        erased.push_back(e);
        if (from_inside && to_inside) continue;
        const node& other = from_inside ? e.to : e.from;
        if (other.is_define() || other.is_static()) continue;
        added.push_back(from_inside ? edge(f, other) : edge(other, f));
    }
    for (const edge& e : erased)
        edges.erase(e);
    edges.insert(added.begin(), added.end());
    for (const node& u : members)
        nodes.erase(u);
}
