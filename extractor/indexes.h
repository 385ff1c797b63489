// Name indexes over the classification sets. They answer the "every node of a
// set whose name equals s" searches with the same nodes in the same ascending
// order as a scan would, without the scan. Built on first use after
// bookkeeping; cleanup() drops them.
#pragma once

#include "tables.h"

#include <string_view>
#include <vector>

// Nodes of `set` named `name`, ascending; empty when none.
const std::vector<nid>& functions_named(std::string_view name);
const std::vector<nid>& objects_named(std::string_view name);
const std::vector<nid>& alias_types_named(std::string_view name);
const std::vector<nid>& name_refs_named(std::string_view name);
// First node of cAggrTypes / cPtrTypes with that name, or no_node.
nid first_aggr_named(std::string_view name);
nid first_ptr_named(std::string_view name);
// The cObject "cArc" parents named `name` of every initializer list, in the
// order of the lists and then of the parents (repeats kept).
const std::vector<nid>& init_list_objects_named(std::string_view name);
// True when some function of that name is static and has no body.
bool has_static_prototype(std::string_view name);

void clear_indexes();
