// Which declarations a reference names at file scope. Only those can match the
// global program units that the facts are about; a name that a block declares
// (a local variable, a parameter) is a different entity even when a global of
// the same name exists.
#pragma once

#include <clang-c/Index.h>

// True for functions and variables with linkage and for typedefs and
// enumerators declared outside every function.
bool is_file_scope_entity(CXCursor decl);
