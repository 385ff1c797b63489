// Builds the nodes of declarations: functions (cFunction with cFormalFctParam
// children and a cBlock body), objects (cObject: variables and structure
// members), typedefs (cAliasType), structures and unions (cAggrType, or
// cForwardType when only named) and enumerations (cEnumType with cEnumerator
// children). Every declaration is a cArcSon child of its scope file or of the
// declaration or block that encloses it.
#pragma once

#include "build_context.h"

#include "clang_text.h"

#include <unordered_map>

class body_builder;

class declaration_builder {
  public:
    explicit declaration_builder(build_context& context) : context_(context) {}
    void set_body_builder(body_builder& body) { body_ = &body; }

    // Builds decl under parent and returns its node, or -1 for a cursor that is
    // not a declaration the dump models.
    int build(CXCursor decl, int parent);
    // Gives every type declaration that was mentioned but never reached (an
    // incomplete structure, for one) a node under the scope file it is in.
    void finish_unbuilt();

  private:
    int start(CXCursor decl, int parent, const char* kind, bool& fresh);
    int start_named(CXCursor decl, int parent, const char* kind, bool& fresh);
    int function(CXCursor decl, int parent);
    void parameter(CXCursor param, int function);
    void attribute_uses(CXCursor decl, int node);
    int variable(CXCursor decl, int parent);
    int field(CXCursor decl, int parent);
    void typed_object(CXCursor decl, int node, int parent, CXCursor initializer);
    int type_alias(CXCursor decl, int parent);
    int typedef_target(CXCursor decl);
    int forward_for(CXCursor definition, int user_node);
    int record(CXCursor decl, int parent);
    int enumeration(CXCursor decl, int parent);
    // Builds the expressions found among the children of cursor (array sizes,
    // bit widths, enumerator values) as cArcSon children of node, looking into
    // parameter declarations too.
    void expressions_below(CXCursor cursor, int node);

    build_context& context_;
    body_builder* body_ = nullptr;
    std::unordered_map<CXCursor, int, cursor_hash, cursor_equal> forwards_;
};

// The name of a structure, union or enumeration: "(anonymous)" when it has none.
std::string tag_name(CXCursor decl);
