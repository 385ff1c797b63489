#include "unit_builder.h"

#include "body_builder.h"
#include "build_context.h"
#include "clang_text.h"
#include "decl_nodes.h"
#include "declaration_builder.h"
#include "scope_tree.h"
#include "ta_graph.h"
#include "type_nodes.h"

void build_unit_dump(ta_graph& graph, CXTranslationUnit unit, const std::string& input,
                     bool preprocessed, const std::vector<std::string>& flags) {
    std::unique_ptr<scope_tree> scopes = preprocessed ? make_line_marker_scopes(graph, unit, input)
                                                      : make_inclusion_scopes(graph, unit, flags);
    decl_nodes decls(graph);
    type_nodes types(graph, decls);
    build_context context{graph, unit, *scopes, decls, types};
    declaration_builder declarations(context);
    body_builder bodies(context, declarations);
    declarations.set_body_builder(bodies);
    for (CXCursor decl : children_of(clang_getTranslationUnitCursor(unit)))
        if (clang_isDeclaration(clang_getCursorKind(decl)))
            declarations.build(decl, scopes->scope_of(clang_getCursorLocation(decl)));
    declarations.finish_unbuilt();
}
