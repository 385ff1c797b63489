// What every builder of one unit's dump shares.
#pragma once

#include <clang-c/Index.h>

class DeclNodes;
class ScopeTree;
class TaGraph;
class TypeNodes;

struct BuildContext {
    TaGraph& graph;
    CXTranslationUnit unit;
    ScopeTree& scopes;
    DeclNodes& decls;
    TypeNodes& types;
};
