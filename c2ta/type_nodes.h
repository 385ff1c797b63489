// Nodes for types. A named type (typedef, structure, union, enumeration) is the
// node of its declaration. Derived types are shared nodes without a parent: one
// cBuiltInType per built-in type, one cPtrType per pointer or array type (its
// only successor is the pointee or element type), one cFctType per function
// type (its successors are the result and parameter types). Every such link is
// a cInstance relation, which no walk up the declaration tree follows.
#pragma once

#include <clang-c/Index.h>

#include <map>
#include <string>
#include <unordered_map>

class decl_nodes;
class ta_graph;

class type_nodes {
  public:
    type_nodes(ta_graph& graph, decl_nodes& decls) : graph_(graph), decls_(decls) {}

    // The node of a type, or -1 when clang knows no type.
    int node_for(CXType type);
    // The shared pointer-type node of a pointer to `pointee`, named
    // "<pointee's spelling> *" as clang spells such a pointer.
    int pointer_to(CXType pointee);
    // The declaration behind a structure, union or enumeration type: its
    // definition when the unit has one, else its first declaration.
    static CXCursor tag_declaration(CXType type);

  private:
    int compute(CXType type);
    int derived(const char* kind, const std::string& spelling, int target);
    int function_type(CXType type);
    int built_in(const std::string& spelling);

    ta_graph& graph_;
    decl_nodes& decls_;
    std::unordered_map<const void*, int> by_type_;
    std::map<std::string, int> by_shape_;
};

// Truncates a name to what the TA reader keeps (99 bytes).
std::string fit_name(std::string name);
// True when the declaration has a place in a file (not implicit or built in).
bool has_file_location(CXCursor decl);
