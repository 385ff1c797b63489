// Queries the fact passes ask about the bookkept graph. Node arguments are
// handles; no_node stands for the empty identifier and reads as an all-empty
// record. None of them fails.
#pragma once

#include "tables.h"

#include <set>
#include <string>
#include <vector>

bool has_body(nid id);
bool is_extern(nid id);
bool is_static(std::string_view kind, nid id);
bool is_global(nid id);
std::string_view get_type(nid id);

// Greatest of `end` and the ends of id's cArcSon children, compared as
// line.column and written back as line "." column.
std::string son_end(nid id, std::string_view end);
// The beg of the aggregate id is built on, or `beg` when there is none.
std::string_view aggr_beg(nid id, std::string_view beg);
// First successor of id, or no_node when it has none (the "-1" end marker).
nid points_to_node(nid id);
// True for the end of a pointer walk: no node, or a node whose identifier is "-1".
bool is_minus_one(nid id);

// The named type a type reference leads to.
struct type_ref {
    std::string name;           // unit name, "" when the reference names no type
    std::string_view kind_word; // "type", "struct", "enum", "fct", ...
    nid target = no_node;       // the type node the pointer walk reached
    bool global = false;        // whether that node is global
};
type_ref trace_type(nid id);
std::string trace_type_name(nid id);

std::string find_object_type(nid id);
std::string get_object_type(nid id);
std::set<std::string> find_all_children_used_types(nid id);

nid root_function(nid id);
nid root_initlist(nid id);
nid root_type(nid id);
nid context_function(nid id);
nid context_initlist(nid id);
std::string context_type(nid id);
nid find_root(nid id);
std::string find_context(nid id);
std::vector<nid> find_parameters(nid id);

// Drops remembered answers; cleanup() calls it.
void forget_query_memos();
