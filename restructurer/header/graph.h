// The graph store of the restructurer: every node, every edge and every derived
// table of a run. Each phase is a member function, implemented in the
// directory of its subsystem:
//   graph/      queries, statistics and dumps
//   loading/    paths, fact loading, cleaning, merging
//   partition/  leaves, partitioning, compression
//   codegen/    header naming and counting, unit text extraction, emission
#pragma once

#include "header/handle.h"
#include "header/nodes.h"
#include "tailor.h"

#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class emission_index;
class merge_candidates;

using node_set = std::set<node>;
using edge_set = std::set<edge>;

// n and every node reachable from n along `along` (graph/reachability.cpp).
node_set reachable_from(const node& n, const edge_set& along);

class graph {
  public:
    // ---- data members, in the order the phases know them ----
    node_set leaves;                       // definitions and implementation files
    edge_set file_edges;                   // unit-level edges kept for ordering inside a file
    std::map<node, node_set> predecessors; // per node: the units it uses
    std::map<node, node_set> successors;   // per node: its users
    // The edges as remove_forward_edges found them, (from, to) numbers in
    // ascending order: text extraction asks which units used each other then.
    std::vector<std::pair<int, int>> edges_before_forward_removal;
    std::string current_file;              // text state of program-unit extraction
    node_set file_units;                   // program units of the file being extracted
    std::map<int, std::string> unit_texts; // source text per program-unit number
    std::set<node_set> partitions;         // groups of units that share a header
    std::map<node, node> representative;   // loaded node -> compressed node
    std::unique_ptr<graph> compressed;     // the compressed graph, once built
    std::set<std::string> scratch_modules;
    std::map<node, std::set<std::string>> modules_of;
    std::set<std::string> module_dirs;
    std::set<std::string> header_dirs;
    std::map<int, std::vector<node>> units_by_order;
    node_set header_nodes;   // headers whose counters changed
    node_set included_files; // file nodes from file and inclusion facts
    std::map<std::string, node> file_node_by_name;
    std::map<std::string, int> header_unit_count;
    bool file_facts_seen = false;
    node_set nodes;
    edge_set edges;
    bool reduce_only = false;     // "-c"
    bool generate_facts = false;  // "-g"
    bool with_inclusions = false; // "-x"
    std::string compile_dir;      // of the unit being loaded, "" when unknown
    std::map<int, int> new_id_of; // per-file number -> merged number
    node_set emitted_units;
    std::set<std::string> declared_tags; // "struct X;\n" declared in the file being written
    // The state pragmas around the unit written last, and the length of the
    // text it ended: the next unit under the same ones continues inside them.
    pragma_wrap last_pragmas;
    std::size_t last_pragmas_end = 0;
    // The tags each generated header declares, itself or through the headers
    // it includes, by its node number.
    std::map<int, std::set<std::string>> tags_of_header;
    // Of the file being loaded: the uses that need no more than a structure's
    // tag (facts 5 and 6), and, once those edges are dropped, the aggregates
    // each unit needs a forward declaration of.
    edge_set tag_only_edges;
    std::map<int, node_set> tag_only_aggregates;

    // ---- process-wide state, built before main runs ----
    static tailor::Tailor config;              // switches from "GRAPH"
    static std::set<std::string> user_modules; // "-M" directories
    static std::set<std::string> include_dirs; // "-I" directories
    static char buf[10000];                    // scratch space for resolved paths
    // Per preprocessed source read (resolved path), the source file its first
    // line marker names: the file the facts call <unit>.cpp.c stands for it.
    static std::map<std::string, std::string> main_file_of;

    // ---- queries, statistics and dumps (graph/) ----
    // n and every node reachable from n along the edges.
    node_set dominate_set(const node& n) const;
    // True when edges_before_forward_removal holds the edge from -> to.
    bool edge_before_forward_removal(int from, int to) const;
    // The leaves that n reaches, or {n} when n is itself a leaf.
    node_set actual_dominate_set(const node& n) const;
    // Edges of `es` leaving n towards another node.
    int out_degree(const node& n, const edge_set& es) const;
    int count_node(const std::string& kind) const;
    // Number of nodes on a directed cycle; rebuilds successors and predecessors.
    int count_cycle_nodes();
    void print_out_degrees() const;
    void print_get_filenames() const;
    // The statistics block, each line under its own "debug count ..." switch.
    void count();

    // ---- paths and system files (loading/paths.cpp) ----
    static std::string system_path(std::string path);
    static bool is_system_file(std::string file);
    // The resolved path of a file name of the facts or the line markers of a
    // preprocessed source: a relative name is taken in `compile_dir` (when not
    // empty); a name found nowhere gives its absolute form, with a warning.
    static std::string source_path(const std::string& name, const std::string& compile_dir);
    // The compile directory recorded in a preprocessed source by gcc's
    // working-directory marker ("# 1 \"/dir//\"", written with -g or
    // -fworking-directory), or "" when it has none.
    static std::string working_directory(const std::string& preprocessed);
    static bool is_working_directory_marker(const std::string& name);
    // The name a line marker gives to text of `file`: the source a preprocessed
    // source was made from (x.cpp.c stands for x.c, whose lines the facts count),
    // else `file` itself.
    static std::string marker_file(const std::string& file);
    static std::string get_filename(const node& n);
    std::string get_include_dirs() const;

    // ---- fact loading (loading/) ----
    // Loads, cleans and merges every fact file, in the given order.
    void read_graphs(std::vector<std::string> files);
    // A fact_kind::definition or fact_kind::declaration of the unit `name` at
    // `location`.
    void parse_node(int kind, const std::string& name, const std::string& location);
    // k = fact kind - fact_kind::definition_uses: 0 definition uses declaration,
    // 1 definition uses definition, 2 declaration uses declaration.
    void parse_edge(int k, const std::string& user, const std::string& used);
    // A fact_kind::definition_uses_tag or fact_kind::declaration_uses_tag fact:
    // `user` needs no more of `used` than a structure's tag
    // (loading/tag_only_uses.cpp).
    void parse_tag_only(int kind, const std::string& user, const std::string& used);
    // A fact_kind::inclusion or fact_kind::file_units fact.
    void parse_inclusion(int kind, std::string subject, std::string object);

    // ---- cleaning passes (loading/), in the order loading runs them ----
    void remove_system_definitions();
    void remove_self_cycles();
    void remove_fcts();
    void remove_forward_edges();
    // Drops the edges of the tag-only uses, noting the forward declarations
    // their users need (loading/tag_only_uses.cpp).
    void drop_tag_only_edges();
    // Edges from each function or variable declaration to the definition of
    // the same name (loading/keep_own_declarations.cpp).
    void keep_own_declarations();
    // Edges from a type written in the source's own text to header units are
    // moved to the source's definitions they reach
    // (loading/keep_source_types_own.cpp).
    void keep_source_types_own();
    void remove_unused_declarations();

    // ---- merging (loading/merge*.cpp) ----
    // Records and returns the merged number of per-file node n.
    int link_node(int offset, node n, node_set& acc, std::map<int, std::string>& texts, bool add);

    // ---- header bookkeeping (codegen/header_counting.cpp) ----
    void update_count_program_units(std::string key, bool first);
    void update_header_node(const node& n, bool first);
    void update_headers(const std::vector<node>& v, bool first);

    // ---- header naming (codegen/header_naming.cpp) ----
    // Path of the new header (or definitions file) for n, "" when n gets none;
    // creates its directory (mode 0755) and records it in `header_dirs`.
    std::string get_header_name(const node& n);
    // The name to write between the quotes of an include line for `path`:
    // relative to the first "-I" directory that holds it.
    static std::string get_new_header_filename(std::string path);
    // "struct list;\n" for struct:list#2: the forward declaration of a unit.
    static std::string get_forward_type(const std::string& unit_name);

    // ---- code generation steps (codegen/) ----
    // Module directories of the implementation files depending on every node
    // of the compressed graph (`modules_of`, `module_dirs`).
    void construct_module_dependences(); // codegen/module_dependences.cpp
    void write_makefile();               // codegen/makefile.cpp

    // ---- code emission (codegen/) ----
    // The number of the synthetic root of the emission walk, which holds every
    // node of the compressed graph and is itself never written.
    static constexpr int root_number = -1;
    // Writes the file of node n (a header shared by two or more leaves, or an
    // implementation file) and, first, those of the file nodes among its
    // members.
    void N_codegen(node& n);
    // Appends to `text` the whole body of header n instead of an include line.
    void N_codegen(std::string& text, node& n);
    // Orders `units` (mode 1: by source position; mode 2: dependencies first),
    // and appends the include lines of the headers file `number` depends on
    // and the units' texts to `out`.
    void V_codegen(int number, std::string& out, std::vector<node>& units, int mode);
    // Appends what one included header or one program unit contributes.
    void S_codegen(std::string& text, node& n);
    // `text` without the forward declarations at its head that the file being
    // written already holds (`declared_tags`); records the ones it keeps.
    std::string without_repeated_forward_declarations(const std::string& text);
    // The units of `units` so that each comes after the units it uses.
    std::vector<node> topological_ordering(const node_set& units, const edge_set& deps);

    // Replaces the members of implementation file f by f in the edges, and
    // removes them from `nodes` (codegen/preprocessing_program_units_in_file.cpp).
    void fold_into_implementation_file(const node& f, const std::vector<node>& members);
    std::vector<node> drop_unused_header_statics(const std::string& path,
                                                 const std::vector<node>& members);

    // ---- description records written with "-g" (codegen/descriptions.cpp) ----
    void generating_include_description(std::ostream& out, bool first, node_set s);
    void generating_nodes_descriptions(std::ostream& out, bool first, node_set s);
    void generating_edges_descriptions(std::ostream& out, bool first, node_set s);

    // ---- the later phases, in the order main runs them after loading ----
    void construct_leaves();  // partition/construct_leaves.cpp
    void partitioning();      // partition/partitioning.cpp
    // The structure and the typedef of `typedef struct S {...} T;`, read as two
    // units, become one again where every source that needs the typedef needs
    // the structure whole; elsewhere the structure's text loses the typedef.
    void join_typedef_statements(); // partition/typedef_statements.cpp
    void compressing_graph(); // partition/compressing_graph.cpp
    void codegen();           // codegen/codegen.cpp
    // codegen/preprocessing_program_units_in_file.cpp
    void preprocessing_program_units_in_file(std::string path);
    // One line per unit of this file's graph that has a place but no text:
    // lost_text_prefix, the unit's name, "file:line", and "(path)" naming the
    // preprocessed source.
    void report_lost_texts(const std::string& path) const;
    static constexpr const char* lost_text_prefix = "Warning: text not found: ";

    // The graph accumulated from the fact files merged so far.
    struct accumulated_graph {
        node_set nodes;
        edge_set edges;
        std::map<int, std::string> unit_texts;
        edge_set file_edges;
    };
    // Merges this file's graph (nodes, edges, ...) into `acc`.
    void merge_file_graph(accumulated_graph& acc);

    // Reads the fact lines of one file into this graph: lines of any length,
    // up to the first empty line; lines that are not facts are skipped with a
    // warning.
    void read_fact_file(const std::string& path);

  private:
    // Refills successors and predecessors from edges.
    void rebuild_adjacency();
    // Erases the edges with an end that is no longer in `nodes`.
    void remove_dangling_edges();
    // The unit named `name` with is_define() == `define` that comes first in
    // node order, or a handle without object.
    node find_unit(const std::string& name, bool define);
    node add_unit(const std::string& name, bool define, bool function_definition);
    node file_node(const std::string& name);

    // Index of the units of the file being loaded, by name, then definition?
    // -> numbers in ascending order; rebuilt when `nodes` changed behind its
    // back. unit_index[name].ids[define]. The files of a project name mostly
    // the same units, so entries outlive their file: an entry of an earlier
    // file (an older generation) counts as empty.
    struct unit_entry {
        std::vector<int> ids[2];
        unsigned generation = 0;
    };
    std::unordered_map<std::string, unit_entry> unit_index;
    std::size_t unit_index_size = 0;
    unsigned unit_index_generation = 0;
    // The entries found last, with their names: the facts of one user come
    // together, so most lookups ask again for a name just asked for. Entries
    // are never erased from the index, so the pointers stay valid; a copy of
    // the graph starts without them, as they point into this graph's index.
    struct recent_lookups {
        std::pair<const std::string*, unit_entry*> slots[2] = {};
        recent_lookups() = default;
        recent_lookups(const recent_lookups&) {}
        recent_lookups& operator=(const recent_lookups&) {
            slots[0] = slots[1] = {};
            return *this;
        }
    };
    recent_lookups recent_entries;
    // Starts an empty index for the next file.
    void forget_units();
    // The entry of `name`, made empty when it is an earlier file's.
    unit_entry& current_entry(unit_entry& entry);
    // The entry of `name`, or null; brings the index up to date first.
    unit_entry* unit_entry_of(const std::string& name);
    // The first unit of `entry` with is_define() == `define` that `nodes`
    // holds under `name`, or a handle without object.
    node first_unit(const unit_entry* entry, const std::string& name, bool define) const;

    // Index of the candidates link_node compares a new unit with.
    std::shared_ptr<merge_candidates> candidates;

    // Tables of the compressed graph for the emission walk, while it runs.
    std::shared_ptr<emission_index> emission;
    // compressed->actual_dominate_set(n).size(), through `emission` if built.
    std::size_t compressed_leaves_reached(const node& n) const;
};
