// Loading of the fact files: per file, read the facts into a fresh graph, count
// the units per header, clean, extract the unit texts, and merge the result
// into the graph accumulated from the earlier files.
#include "header/graph.h"

#include "contract/fact_kind.h"
#include "contract/fact_line.h"
#include "contract/unit_files.h"
#include "graph/phase_times.h"
#include "graph/progress.h"

#include <fstream>
#include <iostream>

namespace {
bool debug_count() {
    return graph::config.accept("debug count");
}

} // namespace

void graph::read_graphs(std::vector<std::string> files) {
    announce_on_stdout("loading graphs ... ");
    file_facts_seen = false;
    accumulated_graph acc;
    candidates.reset(); // an index of an earlier run must not follow this one

    for (const std::string& file : files) {
        nodes.clear();
        edges.clear();
        file_edges.clear();
        unit_texts.clear();
        included_files.clear();
        file_node_by_name.clear();
        if (reduce_only) emitted_units.clear();
        forget_units();
        tag_only_edges.clear();
        tag_only_aggregates.clear();

        announce(file);
        {
            phase_timer timer("loading: reading facts");
            compile_dir = working_directory(preprocessed_source_of_facts(file));
            read_fact_file(file);
        }
        if (debug_count()) count();
        {
            phase_timer timer("loading: cleaning");
            if (file_node_by_name.empty())
                header_nodes.clear(); // as counting would: no header to count
            else
                update_headers(std::vector<node>(nodes.begin(), nodes.end()), true);

            remove_system_definitions();
            announce("system definitions removed.");
            if (debug_count()) count();

            remove_self_cycles();
            remove_fcts();
            remove_self_cycles();
            remove_forward_edges();
            drop_tag_only_edges();
            keep_own_declarations();
            keep_source_types_own();
            construct_leaves();
            remove_unused_declarations();
        }
        {
            phase_timer timer("loading: text extraction");
            preprocessing_program_units_in_file(preprocessed_source_of_facts(file));
        }
        announce("cycle edges removed.");
        if (debug_count()) count();

        if (!reduce_only) {
            phase_timer timer("loading: merging");
            merge_file_graph(acc);
        }
    }
    if (reduce_only) return;

    nodes = std::move(acc.nodes);
    edges = std::move(acc.edges);
    unit_texts = std::move(acc.unit_texts);
    file_edges = std::move(acc.file_edges);
    announce_on_stdout("... graphs loaded.");
}

// Reads lines of any length up to the first empty line or the end of the file.
// A file that cannot be opened reads as an empty one.
void graph::read_fact_file(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    fact fact;
    for (long number = 1; std::getline(in, line) && !line.empty(); ++number) {
        if (line[0] == '#') continue;
        if (!read_fact_line(line, fact)) {
            std::cout << "Warning: file " << path << " line " << number << ": not a fact, skipped"
                      << std::endl;
            continue;
        }
        if (fact.kind == fact_kind::inclusion || fact.kind == fact_kind::file_units) {
            if (with_inclusions) parse_inclusion(fact.kind, fact.subject, fact.object);
        } else if (fact.kind == fact_kind::definition || fact.kind == fact_kind::declaration) {
            parse_node(fact.kind, fact.subject, fact.object);
        } else if (fact.kind >= fact_kind::definition_uses &&
                   fact.kind <= fact_kind::declaration_uses) {
            parse_edge(fact.kind - fact_kind::definition_uses, fact.subject, fact.object);
        } else if (fact.kind == fact_kind::definition_uses_tag ||
                   fact.kind == fact_kind::declaration_uses_tag) {
            parse_tag_only(fact.kind, fact.subject, fact.object);
        } else {
            std::cout << "Warning: file " << path << " line " << number << ": unknown fact kind "
                      << fact.kind << ", skipped" << std::endl;
        }
    }
}
