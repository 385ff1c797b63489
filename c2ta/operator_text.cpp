#include "operator_text.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::size_t longest_operator = 13; // "__extension__"

struct point_in_file {
    CXFile file = nullptr;
    unsigned offset = 0;
};

point_in_file file_point(CXSourceLocation location) {
    point_in_file point;
    clang_getExpansionLocation(location, &point.file, nullptr, nullptr, &point.offset);
    return point;
}

// The text between two points of one file with blanks and comments removed, or
// "" when the points are not in one file or too far apart.
std::string text_between(CXTranslationUnit unit, point_in_file from, point_in_file to) {
    if (from.file == nullptr || to.file == nullptr || !clang_File_isEqual(from.file, to.file) ||
        to.offset < from.offset || to.offset - from.offset > 64)
        return {};
    std::size_t size = 0;
    const char* text = clang_getFileContents(unit, from.file, &size);
    if (text == nullptr || to.offset > size) return {};
    std::string result;
    for (unsigned i = from.offset; i < to.offset; ++i) {
        if (text[i] == '/' && i + 1 < to.offset && text[i + 1] == '*') {
            const char* close = std::strstr(text + i + 2, "*/");
            if (close == nullptr) return {};
            i = static_cast<unsigned>(close - text) + 1;
        } else if (!std::isspace(static_cast<unsigned char>(text[i]))) {
            result += text[i];
        }
    }
    return result;
}

bool is_operator_text(const std::string& text) {
    if (text.empty() || text.size() > longest_operator) return false;
    bool symbols = std::strchr("+-*/%<>=!&|^~?:,", text[0]) != nullptr;
    for (char c : text) {
        bool symbol = std::strchr("+-*/%<>=!&|^~?:,", c) != nullptr;
        bool word = std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        if (symbols ? !symbol : !word) return false;
    }
    return true;
}

} // namespace

std::string binary_operator_text(CXTranslationUnit unit, CXCursor lhs, CXCursor rhs) {
    std::string text = text_between(unit, file_point(clang_getRangeEnd(clang_getCursorExtent(lhs))),
                                    file_point(clang_getRangeStart(clang_getCursorExtent(rhs))));
    return is_operator_text(text) ? text : "binary";
}

std::string unary_operator_text(CXTranslationUnit unit, CXCursor expression, CXCursor operand) {
    CXSourceRange whole = clang_getCursorExtent(expression);
    CXSourceRange inner = clang_getCursorExtent(operand);
    std::string text = text_between(unit, file_point(clang_getRangeStart(whole)),
                                    file_point(clang_getRangeStart(inner)));
    if (text.empty())
        text = text_between(unit, file_point(clang_getRangeEnd(inner)),
                            file_point(clang_getRangeEnd(whole)));
    return is_operator_text(text) ? text : "unary";
}
