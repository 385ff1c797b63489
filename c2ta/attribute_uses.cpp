#include "attribute_uses.h"

#include "clang_text.h"

namespace {

// The part of decl's text that can hold its attributes: up to its body or
// initializer, whose tokens would cost much and hold none of them.
CXSourceRange head_range(CXCursor decl) {
    CXSourceRange extent = clang_getCursorExtent(decl);
    for (CXCursor child : children_of(decl)) {
        CXCursorKind kind = clang_getCursorKind(child);
        if (kind == CXCursor_CompoundStmt || clang_isExpression(kind))
            return clang_getRange(clang_getRangeStart(extent),
                                  clang_getRangeStart(clang_getCursorExtent(child)));
    }
    return extent;
}

std::string bare(std::string name) {
    if (name.size() > 4 && name.compare(0, 2, "__") == 0 &&
        name.compare(name.size() - 2, 2, "__") == 0)
        return name.substr(2, name.size() - 4);
    return name;
}

struct attribute_token {
    CXTokenKind kind;
    std::string text;
};

// Reads one attribute list starting after "((" at `at`; appends the names its
// arguments use and returns the position after the closing "))".
std::size_t read_attribute_list(const std::vector<attribute_token>& tokens, std::size_t at,
                                std::vector<std::string>& names) {
    int depth = 2;
    std::string attribute; // the attribute whose arguments are being read
    int argument = 0;
    for (; at < tokens.size() && depth > 0; ++at) {
        const attribute_token& t = tokens[at];
        if (t.kind == CXToken_Punctuation) {
            if (t.text == "(") {
                ++depth;
            } else if (t.text == ")") {
                if (--depth == 2) attribute.clear();
            } else if (t.text == "," && depth == 3) {
                ++argument;
            }
            continue;
        }
        if (t.kind != CXToken_Identifier && t.kind != CXToken_Keyword) continue;
        if (depth == 2) {
            attribute = bare(t.text);
            argument = 0;
            continue;
        }
        if (depth < 3 || t.kind != CXToken_Identifier) continue;
        if (attribute == "mode" ||
            ((attribute == "format" || attribute == "format_arg") && argument == 0))
            continue;
        names.push_back(t.text);
    }
    return at;
}

} // namespace

std::vector<std::string> attribute_argument_names(CXTranslationUnit unit, CXCursor decl) {
    std::vector<std::string> names;
    CXToken* raw = nullptr;
    unsigned count = 0;
    clang_tokenize(unit, head_range(decl), &raw, &count);
    std::vector<attribute_token> tokens;
    tokens.reserve(count);
    bool any = false;
    for (unsigned i = 0; i < count; ++i) {
        attribute_token t{clang_getTokenKind(raw[i]),
                          take_text(clang_getTokenSpelling(unit, raw[i]))};
        if (t.text == "__attribute__" || t.text == "__attribute") any = true;
        tokens.push_back(std::move(t));
    }
    if (raw != nullptr) clang_disposeTokens(unit, raw, count);
    if (!any) return names;
    for (std::size_t at = 0; at + 2 < tokens.size(); ++at) {
        if (tokens[at].text != "__attribute__" && tokens[at].text != "__attribute") continue;
        if (tokens[at + 1].text != "(" || tokens[at + 2].text != "(") continue;
        at = read_attribute_list(tokens, at + 3, names) - 1;
    }
    return names;
}
