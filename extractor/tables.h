// The extractor's process-wide tables: the node table and edge list filled by the
// parser, the classification sets and adjacency maps filled by bookkeeping, and
// the result sets of the node passes. Every table lives for the whole run and is
// emptied by cleanup().
//
// Node identifiers are interned: every identifier the input mentions (in a node
// record or as an edge end) gets a small integer `nid`. Once reading is over,
// freeze_tables() renumbers the nodes so that nid order is the byte order of the
// identifier texts; from then on every "ascending identifier order" of the
// extractor is plain integer order, and sets of identifiers are sorted vectors.
#pragma once

#include "adjacency.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The texts of the tables (identifiers, kinds, attribute values) are stored
// once, back to back in large blocks, and records refer to them by view. This
// keeps records small and reading free of per-value allocations. The texts
// live until cleanup().
class text_arena {
  public:
    std::string_view store(std::string_view text);
    void clear();

  private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0, capacity_ = 0;
};

// Attribute block of one record. Values are kept whole, exactly as the input
// gives them (quotes included), except `name`, whose first and last characters
// are stripped by the parser.
struct attributes {
    std::string_view beg;
    std::string_view end;
    std::string_view type;
    std::string_view op;
    std::string_view visb;
    std::string_view name;
    std::string_view extern_;  // attribute "extern"
    std::string_view static_;  // attribute "static"
    std::string_view complete; // attribute "complete": a use that needs the type complete
};

struct node_info {
    std::string_view id;
    std::string_view kind;    // empty for identifiers that only edges mention
    nid file_scope = no_node; // directly enclosing scope file, set by bookkeeping
    int counter = 0;          // 1 for what a scope file holds directly (bookkeeping)
    attributes attrs;
};

struct edge_info {
    std::uint32_t kind; // index into node_table::edge_kinds
    nid source;
    nid target;
};

// Records in blocks of fixed size: growing never moves a record, so the table
// never holds two copies of itself.
class record_store {
  public:
    node_info& operator[](std::size_t i) { return blocks_[i >> shift][i & mask]; }
    const node_info& operator[](std::size_t i) const { return blocks_[i >> shift][i & mask]; }
    std::size_t size() const { return size_; }
    node_info& push_back();
    void clear() {
        blocks_.clear();
        blocks_.shrink_to_fit();
        size_ = 0;
    }

  private:
    static constexpr std::size_t shift = 12, mask = (std::size_t{1} << shift) - 1;
    std::vector<std::unique_ptr<node_info[]>> blocks_;
    std::size_t size_ = 0;
};

// The node table `the_nodes`: identifiers interned to nids, one record per nid.
class node_table {
  public:
    // The nid of `id`, creating an all-empty record when it is new. Only valid
    // before freeze().
    nid intern(std::string_view id);
    // Sorts the records by identifier and renumbers them; `remap` receives, for
    // every old nid, its new one.
    void freeze(std::vector<nid>& remap);
    // The nid of `id` after freeze(), or no_node.
    nid find(std::string_view id) const;

    node_info& operator[](nid n) { return records_[n]; }
    // Reading through no_node yields the all-empty record, as the lookup of an
    // identifier without a record does.
    const node_info& get(nid n) const { return n == no_node ? empty_ : records_[n]; }
    std::size_t size() const { return records_.size(); }
    void clear();

  private:
    void grow_index();

    record_store records_;
    // Open-addressing hash index from identifier to nid: (hash, nid) slots,
    // nid no_node for a free slot. Dropped by freeze().
    std::vector<std::pair<std::uint32_t, nid>> index_;
    node_info empty_;
};

// Edge kinds are few; each distinct kind text is stored once.
class edge_kind_table {
  public:
    std::uint32_t intern(std::string_view kind);
    std::string_view name(std::uint32_t k) const { return names_[k]; }
    std::size_t size() const { return names_.size(); }
    void clear();

  private:
    std::vector<std::string_view> names_;
    std::unordered_map<std::string, std::uint32_t> index_;
};

// Filled by the parser.
extern text_arena the_texts;
extern node_table the_nodes;
extern std::vector<edge_info> the_edges; // in input order
extern edge_kind_table edge_kinds;

// Renumbers nodes into identifier order and rewrites the edges accordingly.
void freeze_tables();

// Classification sets, filled by bookkeeping_nodes (ascending nid order).
extern id_set cFunctions, cNameRefs, cObjects, cAliasTypes, cPtrTypes, cAggrTypes, cScopeFiles,
    cEnumTypes, cFctTypes, cInitLists;

// Adjacency maps, filled by bookkeeping_edges.
extern adjacency next_nodes, prev_nodes, next_nodes_arcSon, prev_nodes_arcSon, next_nodes_instance,
    next_nodes_arcOpd, next_nodes_arcInitVal, prev_nodes_arc;

// Result sets of the node passes, read by the edge passes.
extern id_set cDefGlobalFunctions, cDefGlobalVariables, cDclGlobalFunctions, cDclGlobalVariables,
    cDclGlobalTypes, cDclGlobalEnums, cDclGlobalAggrs;

// Convenience readers used by every pass.
inline const node_info& node(nid n) {
    return the_nodes.get(n);
}
inline std::string_view kind_of(nid n) {
    return node(n).kind;
}
inline std::string_view name_of(nid n) {
    return node(n).attrs.name;
}
// Name of the scope file that directly contains n ("" when none).
std::string_view file_of(nid n);

// Empties every table.
void cleanup();
