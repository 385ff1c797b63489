// Builds function bodies and expressions as a tree: statements are linked to
// what they contain by cArcSon, expressions to their operands by cArcOpd, and
// local declarations hang under their block. Statement kinds: cBlock, cIf,
// cForLoop (every loop), cReturn, cSwitch, cCase, cDefault, cLabel, cGoto,
// cBreak, cContinue, cNullStmt, cAsm, cStmt. Expression kinds: cNameRef (a
// file-scope name), cLocalRef (a block-scope name), cMemberRef, cCall,
// cBinaryOperator (op = "array-ref" for a subscript), cUnaryOperator, cSizeof,
// cConditional, cCast, cCompoundLiteral, cInitList, cLiteral, cStmtExpr, cExpr.
#pragma once

#include "build_context.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

class declaration_builder;

class body_builder {
  public:
    body_builder(build_context& context, declaration_builder& declarations)
        : context_(context), declarations_(declarations) {}

    // Builds a statement, expression or local declaration linked from parent by
    // an edge of kind edge (local declarations always by cArcSon).
    void build(CXCursor cursor, int parent, const char* edge);

  private:
    void statement(CXCursor cursor, int parent, const char* edge);
    void expression(CXCursor cursor, int parent, const char* edge);
    void type_reference(CXCursor cursor, int parent, const char* edge);
    void pointer_type_reference(CXType type, int parent);
    void complete_uses(CXCursor cursor, CXCursorKind kind, const std::vector<CXCursor>& operands,
                       const std::string& op, int node);
    void complete_use(CXType type, int parent);
    int add(const char* kind, CXCursor cursor, int parent, const char* edge);

    build_context& context_;
    declaration_builder& declarations_;
    // The declaration whose body or initializer is being built, and the
    // complete-type uses already written below it (one per structure).
    int root_ = -1;
    std::set<std::pair<int, int>> complete_written_;
};
