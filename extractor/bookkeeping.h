// Bookkeeping after reading: classification sets, adjacency maps, and the file
// and occurrence counter of every node that a scope file contains directly.
#pragma once

#include "tables.h"

#include <string_view>

// Fills the classification sets.
void bookkeeping_nodes();
// Fills the adjacency maps from every edge.
void bookkeeping_edges();
// Sets file and counter of the direct children of scope files.
void bookkeeping_scopes();

// Name of the outermost scope file above id (the main file of its
// compilation), "" when no scope file lies above it.
std::string_view context_filename(nid id);
// Forgets what context_filename learnt (called by cleanup).
void forget_scope_contexts();

// Upper bound for every walk up a parent chain: a well-formed graph is a forest,
// and a longer walk can only be going round a cycle.
std::size_t walk_limit();
