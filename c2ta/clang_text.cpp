#include "clang_text.h"

std::string take_text(CXString text) {
    const char* chars = clang_getCString(text);
    std::string result = chars != nullptr ? chars : "";
    clang_disposeString(text);
    return result;
}

std::string cursor_spelling(CXCursor cursor) {
    return take_text(clang_getCursorSpelling(cursor));
}

std::string type_spelling(CXType type) {
    return take_text(clang_getTypeSpelling(type));
}

std::vector<CXCursor> children_of(CXCursor cursor) {
    std::vector<CXCursor> children;
    clang_visitChildren(
        cursor,
        [](CXCursor child, CXCursor, CXClientData data) {
            static_cast<std::vector<CXCursor>*>(data)->push_back(child);
            return CXChildVisit_Continue;
        },
        &children);
    return children;
}
