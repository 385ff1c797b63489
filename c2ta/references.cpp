#include "references.h"

bool is_file_scope_entity(CXCursor decl) {
    if (clang_Cursor_isNull(decl)) return false;
    CXLinkageKind linkage = clang_getCursorLinkage(decl);
    if (linkage == CXLinkage_Internal || linkage == CXLinkage_External ||
        linkage == CXLinkage_UniqueExternal)
        return true;
    for (CXCursor scope = clang_getCursorSemanticParent(decl); !clang_Cursor_isNull(scope);
         scope = clang_getCursorSemanticParent(scope)) {
        CXCursorKind kind = clang_getCursorKind(scope);
        if (kind == CXCursor_TranslationUnit) return true;
        if (kind == CXCursor_FunctionDecl || clang_isInvalid(kind)) return false;
    }
    return false;
}
