// Program-unit text extraction for one translation unit: reads the unit's
// preprocessed source, then removes the declarations nobody uses, writes the
// reduced copy ("-c"), counts units per header again, rewrites the fact file
// ("-g"), and folds the unit's definitions and static units into one
// implementation-file node.
#include "header/graph.h"

#include "codegen/output_file.h"
#include "codegen/unit_extraction.h"
#include "contract/unit_files.h"
#include "graph/progress.h"

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

namespace {
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
    report_lost_texts(path);

    std::vector<node> collected = extraction.collected();
    if (reduce_only) {
        const std::string copy = rewritten_copy_of(path);
        output_file out(copy);
        announce(" " + copy + "...");
        std::string text;
        declared_tags.clear();
        for (node& u : collected)
            S_codegen(text, u);
        out << text;
    }
    std::cout << "SIZE NODE : " << collected.size() << std::endl;
    update_headers(collected, false);

    if (generate_facts) {
        output_file out(fact_file_of_preprocessed(path));
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

    const std::vector<node> members = drop_unused_header_statics(path, extraction.members());
    // The unit-level edges order the units inside one generated file.
    file_edges = edges;
    // A source with no definition of its own (a file disabled by #ifdef)
    // still gets its implementation-file node, and so its rewritten source.
    auto* file = make_node<Implement>(path);
    file->members = members;
    const node f(next_free_number(nodes), file);
    nodes.insert(f);
    fold_into_implementation_file(f, members);
}

// A unit this source needs whose text was found nowhere in its preprocessed
// source would be missing from every file written for the source: it is named,
// with its place and the preprocessed source, so that the loss is the
// source's failure and never silent.
void graph::report_lost_texts(const std::string& path) const {
    for (const node& n : nodes) {
        const ProgramUnit* u = as_unit(n);
        if (!u || u->begin == 0) continue;
        auto text = unit_texts.find(n.id);
        if (text != unit_texts.end() && !text->second.empty()) continue;
        const std::string& file = u->is_define() ? u->start_file : u->file();
        std::cout << lost_text_prefix << u->name << " " << file << ":" << u->begin << " (" << path
                  << ")" << std::endl;
    }
}

// A static function or variable that a header gives every unit including it
// (a static inline helper) belongs to this source only when the source's own
// code uses it, directly or through other such units: the others are dropped
// with their edges, so that no unit carries dead copies (which also break
// -Wunused-function -Werror builds). The source's own static units, and every
// definition with linkage, stay whether used or not.
std::vector<node> graph::drop_unused_header_statics(const std::string& path,
                                                    const std::vector<node>& members) {
    // Code of the source itself under a `#line` name (lexer.c of flex) is not
    // a header's.
    auto header_static = [&](const node& n) {
        const ProgramUnit* u = as_unit(n);
        if (!u || !n.is_static()) return false;
        const std::string& file = u->is_define() ? u->start_file : u->file();
        const bool source = file.size() >= 2 && file.compare(file.size() - 2, 2, ".c") == 0;
        return !file.empty() && file != path && !source;
    };
    std::map<int, std::vector<node>> used_by; // user number -> units it uses
    for (const edge& e : edges)
        if (e.from != e.to) used_by[e.to.id].push_back(e.from);
    // A use may name the prototype of a static function: its definition, a
    // member of the same name, is then used too.
    std::map<std::string, std::vector<node>> members_named;
    for (const node& m : members)
        members_named[m.object->name].push_back(m);
    std::set<int> reached;
    std::vector<node> pending;
    auto reach = [&](const node& n) {
        if (reached.insert(n.id).second) pending.push_back(n);
    };
    for (const node& m : members)
        if (!header_static(m)) reach(m);
    while (!pending.empty()) {
        const node n = pending.back();
        pending.pop_back();
        if (n.object) {
            auto same = members_named.find(n.object->name);
            if (same != members_named.end())
                for (const node& m : same->second)
                    reach(m);
        }
        auto uses = used_by.find(n.id);
        if (uses == used_by.end()) continue;
        for (const node& used : uses->second)
            reach(used);
    }
    std::vector<node> kept;
    node_set dropped;
    for (const node& m : members) {
        if (reached.count(m.id))
            kept.push_back(m);
        else
            dropped.insert(m);
    }
    if (dropped.empty()) return kept;
    for (auto it = edges.begin(); it != edges.end();)
        it = dropped.count(it->from) || dropped.count(it->to) ? edges.erase(it) : std::next(it);
    for (const node& d : dropped)
        nodes.erase(d);
    return kept;
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
