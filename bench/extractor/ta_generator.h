// Generator of synthetic TA dumps shaped like a front end's output for one C
// translation unit: a main file including a chain of nested headers that hold
// structs, typedefs, enums, pointer types, prototypes and extern variables, and
// a main file with global variables (initializer lists naming enumerators) and
// functions whose bodies hold blocks, local objects, if and for statements,
// returns, array subscripts and name references.
#pragma once

#include <ostream>

// Writes a dump whose size grows linearly with `scale` (about 1 MB per unit).
void generate_ta(std::ostream& out, int scale, unsigned seed = 1);

// Writes a dump whose main file enters a chain of `depth` headers, each nested
// in the one before and each defining one function, so that every definition
// lies deep below its compilation's main file.
void generate_scope_chain_ta(std::ostream& out, int depth);
