// What every builder of one unit's dump shares.
#pragma once

#include <clang-c/Index.h>

class decl_nodes;
class scope_tree;
class ta_graph;
class type_nodes;

struct build_context {
    ta_graph& graph;
    CXTranslationUnit unit;
    scope_tree& scopes;
    decl_nodes& decls;
    type_nodes& types;
};
