// Builds the whole dump of a parsed unit: the scope files, then every
// file-scope declaration under the scope file that holds it.
#pragma once

#include <clang-c/Index.h>

#include <string>
#include <vector>

class ta_graph;

// preprocessed: the main file is preprocessor output, whose line markers give
// the scope files; otherwise libclang's own inclusion list does, with the
// unit's flags for the names of included files.
void build_unit_dump(ta_graph& graph, CXTranslationUnit unit, const std::string& input,
                     bool preprocessed, const std::vector<std::string>& flags);
