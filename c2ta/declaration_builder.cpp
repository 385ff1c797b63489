#include "declaration_builder.h"

#include "attribute_uses.h"
#include "body_builder.h"
#include "clang_text.h"
#include "decl_nodes.h"
#include "positions.h"
#include "references.h"
#include "scope_tree.h"
#include "ta_graph.h"
#include "type_nodes.h"

namespace {

bool is_tag(CXCursorKind kind) {
    return kind == CXCursor_StructDecl || kind == CXCursor_UnionDecl || kind == CXCursor_EnumDecl;
}

struct source_span {
    CXFile file = nullptr;
    unsigned begin = 0;
    unsigned end = 0;
};

source_span span_of(CXCursor cursor) {
    source_span span;
    CXSourceRange extent = clang_getCursorExtent(cursor);
    clang_getExpansionLocation(clang_getRangeStart(extent), &span.file, nullptr, nullptr,
                               &span.begin);
    CXFile end_file = nullptr;
    clang_getExpansionLocation(clang_getRangeEnd(extent), &end_file, nullptr, nullptr, &span.end);
    return span;
}

// True when inner's text lies inside outer's (a structure defined within the
// typedef that names it).
bool inside(CXCursor inner, CXCursor outer) {
    source_span a = span_of(inner);
    source_span b = span_of(outer);
    return a.file != nullptr && b.file != nullptr && clang_File_isEqual(a.file, b.file) &&
           a.begin >= b.begin && a.end <= b.end;
}

CXType strip_sugar(CXType type) {
    while (type.kind == CXType_Elaborated || type.kind == CXType_Attributed)
        type = type.kind == CXType_Elaborated ? clang_Type_getNamedType(type)
                                              : clang_Type_getModifiedType(type);
    return type;
}

// A redeclared library builtin (strlen, fwrite) takes the builtin's function
// type, whose result is a plain built-in type: the typedef the declaration
// spells (size_t) survives only as the type reference ahead of the parameters.
// That typedef is the result when it denotes the same type.
CXType written_result(CXCursor decl, CXType result) {
    CXTypeKind kind = strip_sugar(result).kind;
    if (kind == CXType_Typedef || kind == CXType_Invalid) return result;
    for (CXCursor child : children_of(decl)) {
        CXCursorKind child_kind = clang_getCursorKind(child);
        if (child_kind == CXCursor_ParmDecl || child_kind == CXCursor_CompoundStmt) break;
        if (child_kind != CXCursor_TypeRef) continue;
        CXCursor named = clang_getCursorReferenced(child);
        if (clang_getCursorKind(named) != CXCursor_TypedefDecl) break;
        CXType written = clang_getCursorType(named);
        if (clang_equalTypes(clang_getCanonicalType(written), clang_getCanonicalType(result)))
            return written;
        break;
    }
    return result;
}

} // namespace

std::string tag_name(CXCursor decl) {
    std::string name = cursor_spelling(decl);
    if (name.empty() || name.find("(unnamed") != std::string::npos ||
        name.find("(anonymous") != std::string::npos)
        return "(anonymous)";
    return fit_name(name);
}

int declaration_builder::build(CXCursor decl, int parent) {
    switch (clang_getCursorKind(decl)) {
    case CXCursor_FunctionDecl:
        return function(decl, parent);
    case CXCursor_VarDecl:
        return variable(decl, parent);
    case CXCursor_FieldDecl:
        return field(decl, parent);
    case CXCursor_TypedefDecl:
        return type_alias(decl, parent);
    case CXCursor_StructDecl:
    case CXCursor_UnionDecl:
        return record(decl, parent);
    case CXCursor_EnumDecl:
        return enumeration(decl, parent);
    default:
        return -1;
    }
}

// Claims decl's node, gives it its kind, extent and parent link. fresh is false
// when decl was built before, and then nothing else should be done.
int declaration_builder::start(CXCursor decl, int parent, const char* kind, bool& fresh) {
    int node = context_.decls.node_for(decl);
    fresh = context_.decls.claim(decl);
    if (!fresh) return node;
    context_.graph.set_kind(node, kind);
    context_.graph.add_edge("cArcSon", parent, node);
    return node;
}

// start() for a declaration named by its own spelling: also its name and extent.
int declaration_builder::start_named(CXCursor decl, int parent, const char* kind, bool& fresh) {
    int node = start(decl, parent, kind, fresh);
    if (!fresh) return node;
    context_.graph.set(node, "name", fit_name(cursor_spelling(decl)));
    set_extent(context_.graph, node, decl);
    return node;
}

int declaration_builder::function(CXCursor decl, int parent) {
    bool fresh = false;
    int node = start_named(decl, parent, "cFunction", fresh);
    if (!fresh) return node;
    ta_graph& graph = context_.graph;
    if (clang_getCursorLinkage(decl) == CXLinkage_Internal) graph.set(node, "static", "True");
    CXType type = clang_getCursorType(decl);
    CXType result = clang_getResultType(type);
    if (result.kind == CXType_Invalid) result = clang_getResultType(clang_getCanonicalType(type));
    int result_node = context_.types.node_for(written_result(decl, result));
    if (result_node >= 0) graph.add_edge("cInstance", node, result_node);
    // `extern fn_t twice;` spells its whole type by a typedef of a function
    // type, which the declaration then uses.
    CXType written = strip_sugar(type);
    if (written.kind == CXType_Typedef) {
        int alias = context_.types.node_for(written);
        if (alias >= 0 && alias != result_node) graph.add_edge("cInstance", node, alias);
    }
    for (CXCursor child : children_of(decl)) {
        CXCursorKind kind = clang_getCursorKind(child);
        if (kind == CXCursor_ParmDecl)
            parameter(child, node);
        else if (kind == CXCursor_CompoundStmt || clang_isExpression(kind))
            body_->build(child, node, "cArcSon");
    }
    attribute_uses(decl, node);
    return node;
}

// A name in the arguments of an attribute (the deallocator of GCC's malloc
// attribute, the function of cleanup) is a use of that name by the
// declaration: a cNameRef below it, matched by name like any other.
void declaration_builder::attribute_uses(CXCursor decl, int node) {
    for (const std::string& name : attribute_argument_names(context_.unit, decl)) {
        int use = context_.graph.add_node("cNameRef");
        context_.graph.set(use, "name", fit_name(name));
        context_.graph.add_edge("cArcSon", node, use);
    }
}

// A parameter's only successor is its type; expressions in its declarator
// (array sizes) belong to the function.
void declaration_builder::parameter(CXCursor param, int function) {
    ta_graph& graph = context_.graph;
    int node = graph.add_node("cFormalFctParam");
    graph.set(node, "name", fit_name(cursor_spelling(param)));
    set_extent(graph, node, param);
    graph.add_edge("cArcSon", function, node);
    int type = context_.types.node_for(clang_getCursorType(param));
    if (type >= 0) graph.add_edge("cInstance", node, type);
    expressions_below(param, function);
}

int declaration_builder::variable(CXCursor decl, int parent) {
    bool fresh = false;
    int node = start_named(decl, parent, "cObject", fresh);
    if (!fresh) return node;
    ta_graph& graph = context_.graph;
    CXCursor initializer = clang_Cursor_getVarDeclInitializer(decl);
    bool initialized = !clang_Cursor_isNull(initializer);
    CX_StorageClass storage = clang_Cursor_getStorageClass(decl);
    if (storage == CX_SC_Static) graph.set(node, "static", "True");
    if (storage == CX_SC_Extern && !initialized) graph.set(node, "extern", "True");
    typed_object(decl, node, parent, initializer);
    attribute_uses(decl, node);
    return node;
}

int declaration_builder::field(CXCursor decl, int parent) {
    bool fresh = false;
    int node = start_named(decl, parent, "cObject", fresh);
    if (!fresh) return node;
    typed_object(decl, node, parent, clang_getNullCursor());
    return node;
}

// The parts an object shares with a structure member: its type, the tags its
// declaration defines, the expressions of its declarator and its initializer.
void declaration_builder::typed_object(CXCursor decl, int node, int parent, CXCursor initializer) {
    int type = context_.types.node_for(clang_getCursorType(decl));
    if (type >= 0) context_.graph.add_edge("cInstance", node, type);
    bool initialized = !clang_Cursor_isNull(initializer);
    for (CXCursor child : children_of(decl)) {
        CXCursorKind kind = clang_getCursorKind(child);
        if (initialized && clang_equalCursors(child, initializer))
            body_->build(child, node, "cArcInitVal");
        else if (is_tag(kind))
            build(child, parent);
        else if (clang_isExpression(kind))
            body_->build(child, node, "cArcSon");
    }
}

int declaration_builder::type_alias(CXCursor decl, int parent) {
    bool fresh = false;
    int node = start_named(decl, parent, "cAliasType", fresh);
    if (!fresh) return node;
    ta_graph& graph = context_.graph;
    for (CXCursor child : children_of(decl))
        if (is_tag(clang_getCursorKind(child))) build(child, parent);
    int target = typedef_target(decl);
    if (target >= 0) graph.add_edge("cInstance", node, target);
    expressions_below(decl, node);
    return node;
}

// A typedef names its type directly, except a structure or union defined
// elsewhere: that one is reached through a cForwardType node, because a
// cAggrType successor means "defined inside this typedef" to the reader, which
// then moves the typedef's beginning to the structure's.
int declaration_builder::typedef_target(CXCursor decl) {
    CXType underlying = clang_getTypedefDeclUnderlyingType(decl);
    CXType named = strip_sugar(underlying);
    if (named.kind == CXType_Record) {
        CXCursor definition = clang_getCursorDefinition(clang_getTypeDeclaration(named));
        if (!clang_Cursor_isNull(definition) && has_file_location(definition) &&
            !inside(definition, decl))
            return forward_for(definition, context_.decls.node_for(decl));
    }
    return context_.types.node_for(underlying);
}

// One cForwardType per structure definition, in the scope file of the
// definition so that it is named and counted like the structure itself.
int declaration_builder::forward_for(CXCursor definition, int user_node) {
    auto found = forwards_.find(definition);
    if (found != forwards_.end()) return found->second;
    ta_graph& graph = context_.graph;
    int node = graph.add_node("cForwardType");
    graph.set(node, "name", tag_name(definition));
    set_extent(graph, node, definition);
    int parent = is_file_scope_entity(definition)
                     ? context_.scopes.scope_of(clang_getCursorLocation(definition))
                     : user_node;
    graph.add_edge("cArcSon", parent, node);
    forwards_.emplace(definition, node);
    return node;
}

int declaration_builder::record(CXCursor decl, int parent) {
    bool defined = clang_isCursorDefinition(decl) != 0;
    bool fresh = false;
    int node = start(decl, parent, defined ? "cAggrType" : "cForwardType", fresh);
    if (!fresh) return node;
    ta_graph& graph = context_.graph;
    graph.set(node, "name", tag_name(decl));
    if (defined)
        graph.set(node, "type",
                  clang_getCursorKind(decl) == CXCursor_UnionDecl ? "union" : "struct");
    set_extent(graph, node, decl);
    if (!defined) return node;
    for (CXCursor child : children_of(decl)) {
        CXCursorKind kind = clang_getCursorKind(child);
        if (kind == CXCursor_FieldDecl || is_tag(kind)) build(child, node);
    }
    return node;
}

int declaration_builder::enumeration(CXCursor decl, int parent) {
    bool fresh = false;
    int node = start(decl, parent, "cEnumType", fresh);
    if (!fresh) return node;
    ta_graph& graph = context_.graph;
    graph.set(node, "name", tag_name(decl));
    set_extent(graph, node, decl);
    for (CXCursor child : children_of(decl)) {
        if (clang_getCursorKind(child) != CXCursor_EnumConstantDecl) continue;
        int enumerator = graph.add_node("cEnumerator");
        graph.set(enumerator, "name", fit_name(cursor_spelling(child)));
        set_extent(graph, enumerator, child);
        graph.add_edge("cArcSon", node, enumerator);
        expressions_below(child, enumerator);
    }
    return node;
}

void declaration_builder::expressions_below(CXCursor cursor, int node) {
    for (CXCursor child : children_of(cursor)) {
        CXCursorKind kind = clang_getCursorKind(child);
        if (clang_isExpression(kind))
            body_->build(child, node, "cArcSon");
        else if (kind == CXCursor_ParmDecl)
            expressions_below(child, node);
    }
}

void declaration_builder::finish_unbuilt() {
    for (std::vector<CXCursor> pending = context_.decls.unbuilt(); !pending.empty();
         pending = context_.decls.unbuilt()) {
        for (CXCursor decl : pending) {
            int parent = context_.scopes.scope_of(clang_getCursorLocation(decl));
            if (build(decl, parent) >= 0) continue;
            // Not a kind build() knows: still give the node a kind and place.
            bool fresh = false;
            int node = start(decl, parent, "cForwardType", fresh);
            if (fresh) context_.graph.set(node, "name", tag_name(decl));
        }
    }
}
