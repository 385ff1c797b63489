#include "body_builder.h"

#include "clang_text.h"
#include "declaration_builder.h"
#include "operator_text.h"
#include "positions.h"
#include "references.h"
#include "ta_graph.h"
#include "type_nodes.h"

#include <cstring>
#include <utility>

namespace {

const char* statement_kind(CXCursorKind kind) {
    switch (kind) {
    case CXCursor_CompoundStmt:
        return "cBlock";
    case CXCursor_IfStmt:
        return "cIf";
    case CXCursor_ForStmt:
    case CXCursor_WhileStmt:
    case CXCursor_DoStmt:
        return "cForLoop";
    case CXCursor_ReturnStmt:
        return "cReturn";
    case CXCursor_SwitchStmt:
        return "cSwitch";
    case CXCursor_CaseStmt:
        return "cCase";
    case CXCursor_DefaultStmt:
        return "cDefault";
    case CXCursor_LabelStmt:
        return "cLabel";
    case CXCursor_GotoStmt:
    case CXCursor_IndirectGotoStmt:
        return "cGoto";
    case CXCursor_BreakStmt:
        return "cBreak";
    case CXCursor_ContinueStmt:
        return "cContinue";
    case CXCursor_NullStmt:
        return "cNullStmt";
    case CXCursor_GCCAsmStmt:
    case CXCursor_MSAsmStmt:
        return "cAsm";
    default:
        return "cStmt";
    }
}

const char* expression_kind(CXCursorKind kind) {
    switch (kind) {
    case CXCursor_MemberRefExpr:
        return "cMemberRef";
    case CXCursor_CallExpr:
        return "cCall";
    case CXCursor_BinaryOperator:
    case CXCursor_CompoundAssignOperator:
    case CXCursor_ArraySubscriptExpr:
        return "cBinaryOperator";
    case CXCursor_UnaryOperator:
        return "cUnaryOperator";
    case CXCursor_UnaryExpr:
        return "cSizeof";
    case CXCursor_ConditionalOperator:
        return "cConditional";
    case CXCursor_CStyleCastExpr:
        return "cCast";
    case CXCursor_CompoundLiteralExpr:
        return "cCompoundLiteral";
    case CXCursor_InitListExpr:
        return "cInitList";
    case CXCursor_IntegerLiteral:
    case CXCursor_FloatingLiteral:
    case CXCursor_ImaginaryLiteral:
    case CXCursor_StringLiteral:
    case CXCursor_CharacterLiteral:
        return "cLiteral";
    case CXCursor_StmtExpr:
        return "cStmtExpr";
    default:
        return "cExpr";
    }
}

bool is_declaration_kind(const std::string& kind) {
    return kind == "cFunction" || kind == "cObject" || kind == "cAliasType" ||
           kind == "cAggrType" || kind == "cEnumType" || kind == "cEnumerator";
}

bool is_pointer_like(CXType type) {
    CXTypeKind kind = clang_getCanonicalType(type).kind;
    return kind == CXType_Pointer || kind == CXType_ConstantArray ||
           kind == CXType_IncompleteArray || kind == CXType_VariableArray;
}

} // namespace

void body_builder::build(CXCursor cursor, int parent, const char* edge) {
    CXCursorKind kind = clang_getCursorKind(cursor);
    if (is_declaration_kind(context_.graph.kind(parent))) root_ = parent;
    if (kind == CXCursor_DeclStmt) {
        for (CXCursor child : children_of(cursor))
            build(child, parent, edge);
    } else if (clang_isDeclaration(kind)) {
        declarations_.build(cursor, parent);
    } else if (clang_isStatement(kind)) {
        statement(cursor, parent, edge);
    } else if (clang_isExpression(kind)) {
        expression(cursor, parent, edge);
    } else if (kind == CXCursor_TypeRef) {
        type_reference(cursor, parent, edge);
    }
}

// Positions are read only for what the facts locate: the direct parts of a
// declaration (a function's body, an initializer, an array size) and local
// declarations. Inner statements and expressions go without, which saves the
// larger part of the position look-ups.
int body_builder::add(const char* kind, CXCursor cursor, int parent, const char* edge) {
    ta_graph& graph = context_.graph;
    int node = graph.add_node(kind);
    if (is_declaration_kind(graph.kind(parent)) || std::strcmp(edge, "cArcInitVal") == 0)
        set_extent(graph, node, cursor);
    graph.add_edge(edge, parent, node);
    return node;
}

void body_builder::statement(CXCursor cursor, int parent, const char* edge) {
    int node = add(statement_kind(clang_getCursorKind(cursor)), cursor, parent, edge);
    for (CXCursor child : children_of(cursor))
        build(child, node, "cArcSon");
}

void body_builder::expression(CXCursor cursor, int parent, const char* edge) {
    CXCursorKind kind = clang_getCursorKind(cursor);
    std::vector<CXCursor> operands = children_of(cursor);
    // Parentheses and implicit conversions add nothing: their operand stands
    // in their place, so that a subscripted name is the operator's operand.
    if (kind == CXCursor_ParenExpr || (kind == CXCursor_UnexposedExpr && operands.size() == 1)) {
        if (!operands.empty()) build(operands.front(), parent, edge);
        return;
    }
    ta_graph& graph = context_.graph;
    if (kind == CXCursor_DeclRefExpr) {
        bool global = is_file_scope_entity(clang_getCursorReferenced(cursor));
        int node = add(global ? "cNameRef" : "cLocalRef", cursor, parent, edge);
        graph.set(node, "name", fit_name(cursor_spelling(cursor)));
        complete_use(clang_getCursorType(cursor), node);
        return;
    }
    int node = add(expression_kind(kind), cursor, parent, edge);
    std::string op;
    switch (kind) {
    case CXCursor_MemberRefExpr:
        graph.set(node, "name", fit_name(cursor_spelling(cursor)));
        break;
    case CXCursor_ArraySubscriptExpr:
        graph.set(node, "op", "array-ref");
        op = "[]";
        // The array comes first in identifier order, also in the rare 2[a].
        if (operands.size() == 2 && !is_pointer_like(clang_getCursorType(operands[0])) &&
            is_pointer_like(clang_getCursorType(operands[1])))
            std::swap(operands[0], operands[1]);
        break;
    case CXCursor_BinaryOperator:
    case CXCursor_CompoundAssignOperator:
        if (operands.size() == 2) {
            op = binary_operator_text(context_.unit, operands[0], operands[1]);
            graph.set(node, "op", op);
        }
        break;
    case CXCursor_UnaryOperator:
        if (operands.size() == 1) {
            op = unary_operator_text(context_.unit, cursor, operands[0]);
            graph.set(node, "op", op);
        }
        break;
    case CXCursor_CStyleCastExpr:
    case CXCursor_CompoundLiteralExpr:
        pointer_type_reference(clang_getCursorType(cursor), node);
        break;
    default:
        break;
    }
    complete_uses(cursor, kind, operands, op, node);
    for (CXCursor operand : operands)
        build(operand, node, "cArcOpd");
}

// A type named in an expression (a cast, sizeof, _Alignof, offsetof, a
// compound literal, va_arg) is a use of it. A typedef is used by its name. A
// structure, union or enumeration has no name a reference could match, so the
// use is written as a cast to a pointer to it: a cNameRef spelled like that
// pointer type, whose cPtrType leads to the declaration. Such an expression
// needs the type complete, which the structure's own node gives.
void body_builder::type_reference(CXCursor cursor, int parent, const char* edge) {
    CXCursor named = clang_getCursorReferenced(cursor);
    CXCursorKind kind = clang_getCursorKind(named);
    if (!is_file_scope_entity(named)) return;
    // sizeof, _Alignof, offsetof, va_arg and compound literals need the type
    // they name complete; a cast (to a pointer, or of a scalar) does not.
    const bool complete = context_.graph.kind(parent) != "cCast";
    int node = -1;
    if (kind == CXCursor_TypedefDecl) {
        node = add("cNameRef", cursor, parent, edge);
        context_.graph.set(node, "name", fit_name(cursor_spelling(named)));
    } else if (kind == CXCursor_StructDecl || kind == CXCursor_UnionDecl ||
               kind == CXCursor_EnumDecl) {
        CXType type = clang_getCursorType(named);
        context_.types.pointer_to(type);
        node = add("cNameRef", cursor, parent, edge);
        context_.graph.set(node, "name", fit_name(type_spelling(type) + " *"));
    }
    if (node >= 0 && complete) context_.graph.set(node, "complete", "True");
}

namespace {
CXType canonical_pointee(CXType type) {
    CXType canonical = clang_getCanonicalType(type);
    return canonical.kind == CXType_Pointer ? clang_getPointeeType(canonical)
                                            : CXType{CXType_Invalid, {nullptr, nullptr}};
}
} // namespace

// The uses of an expression that need a structure or union complete: a value
// of that type (a call's result, an argument, an assignment, a compound
// literal, `*p`), the structure of a member access (`p->m`, `s.m`), and the
// pointee of pointer arithmetic (`p + n`, `p - q`, `++p`, `p[i]`). Each is
// written as a cNameRef spelled like a pointer to the structure, marked
// `complete = True`; a pointer passed along, compared or cast needs none.
void body_builder::complete_uses(CXCursor cursor, CXCursorKind kind,
                                 const std::vector<CXCursor>& operands, const std::string& op,
                                 int node) {
    complete_use(clang_getCursorType(cursor), node);
    if (kind == CXCursor_MemberRefExpr && !operands.empty()) {
        CXType base = clang_getCursorType(operands.front());
        CXType pointee = canonical_pointee(base);
        complete_use(pointee.kind == CXType_Invalid ? base : pointee, node);
        return;
    }
    bool arithmetic = op == "[]" || op == "+" || op == "-" || op == "+=" || op == "-=" ||
                      op == "++" || op == "--";
    // An operator whose text a macro hides ("binary" in `p != NULL`, "unary")
    // is told by its type: pointer arithmetic gives a pointer from one pointer
    // (p + n, ++p) or, for p - q, a difference that is neither an int (a
    // comparison or a logical operator) nor a pointer. An assignment of one
    // pointer to another (`f = stdin`, `p = NULL`) gives a pointer from two.
    if (op == "binary" || op == "unary") {
        CXTypeKind result = clang_getCanonicalType(clang_getCursorType(cursor)).kind;
        int pointers = 0;
        for (CXCursor operand : operands)
            if (clang_getCanonicalType(clang_getCursorType(operand)).kind == CXType_Pointer)
                ++pointers;
        arithmetic = op == "unary" ? result == CXType_Pointer
                                   : (result == CXType_Pointer && pointers < 2) ||
                                         (result != CXType_Int && result != CXType_Pointer);
    }
    if (!arithmetic) return;
    for (CXCursor operand : operands) {
        CXType pointee = canonical_pointee(clang_getCursorType(operand));
        if (pointee.kind != CXType_Invalid) complete_use(pointee, node);
    }
}

void body_builder::complete_use(CXType type, int parent) {
    CXType canonical = clang_getCanonicalType(type);
    while (canonical.kind == CXType_ConstantArray || canonical.kind == CXType_IncompleteArray ||
           canonical.kind == CXType_VariableArray)
        canonical = clang_getCanonicalType(clang_getArrayElementType(canonical));
    if (canonical.kind != CXType_Record) return;
    // The declaration's own type drops the qualifiers (`const struct S`).
    CXType unqualified = clang_getCursorType(clang_getTypeDeclaration(canonical));
    int pointer = context_.types.pointer_to(unqualified);
    if (!complete_written_.emplace(root_, pointer).second) return;
    ta_graph& graph = context_.graph;
    int use = graph.add_node("cNameRef");
    graph.set(use, "name", fit_name(type_spelling(unqualified) + " *"));
    graph.set(use, "complete", "True");
    graph.add_edge("cArcOpd", parent, use);
}

// A cast to a pointer type names that type: a cNameRef spelled like the type
// (with its "*"), matched by name against the cPtrType of the same spelling,
// through which the pointed-to structure is found.
void body_builder::pointer_type_reference(CXType type, int parent) {
    if (type.kind != CXType_Pointer) return;
    context_.types.node_for(type);
    int node = context_.graph.add_node("cNameRef");
    context_.graph.set(node, "name", fit_name(type_spelling(type)));
    context_.graph.add_edge("cArcOpd", parent, node);
}
