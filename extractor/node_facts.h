// Node facts: inclusions between files, and one definition or declaration fact
// per global function, variable, typedef, enumeration and aggregate. The unit
// passes also fill the result sets that the edge passes iterate over.
#pragma once

#include "tables.h"

// Inclusion facts, or with count the per-file entity counts (fact_kind::inclusion,
// fact_kind::file_units).
void generate_files(bool count);
// The seven unit passes, in order, storing their result sets.
void generate_nodes();

id_set generate_global_functions(const id_set& ids, bool definition);
id_set generate_global_variables(const id_set& ids, bool definition);
id_set generate_global_types(const id_set& ids);
id_set generate_global_enums(const id_set& ids);
id_set generate_global_structs(const id_set& ids);
