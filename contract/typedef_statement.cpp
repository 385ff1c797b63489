#include "contract/typedef_statement.h"

#include <cctype>

namespace {
bool identifier_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::size_t skip_blanks(const std::string& s, std::size_t at) {
    while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at])))
        ++at;
    return at;
}

// The identifier at `at` (empty when there is none); `at` moves past it.
std::string identifier(const std::string& s, std::size_t& at) {
    const std::size_t from = at;
    if (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]))) return {};
    while (at < s.size() && identifier_char(s[at]))
        ++at;
    return s.substr(from, at - from);
}

// The position of the bracket closing the one at `open`, skipping literals
// and comments; npos when it does not close.
std::size_t closing(const std::string& s, std::size_t open) {
    const char left = s[open], right = left == '{' ? '}' : ')';
    int depth = 0;
    for (std::size_t at = open; at < s.size(); ++at) {
        const char c = s[at];
        if (c == '"' || c == '\'') {
            for (++at; at < s.size() && s[at] != c; ++at)
                if (s[at] == '\\') ++at;
        } else if (c == '/' && at + 1 < s.size() && s[at + 1] == '*') {
            at = s.find("*/", at + 2);
            if (at == std::string::npos) return at;
            ++at;
        } else if (c == left) {
            ++depth;
        } else if (c == right && --depth == 0) {
            return at;
        }
    }
    return std::string::npos;
}

bool holds_directive(const std::string& s) {
    for (std::size_t at = 0; at < s.size(); at = s.find('\n', at) + 1) {
        const std::size_t first = s.find_first_not_of(" \t", at);
        if (first != std::string::npos && s[first] == '#') return true;
        if (s.find('\n', at) == std::string::npos) break;
    }
    return false;
}
} // namespace

bool split_typedef_statement(const std::string& text, typedef_statement& out) {
    if (holds_directive(text)) return false;
    // Forward declarations written ahead of the unit's text.
    std::size_t at = skip_blanks(text, 0);
    for (;;) {
        std::size_t word = at;
        const std::string kind = identifier(text, word);
        if (kind != "struct" && kind != "union") break;
        std::size_t name = skip_blanks(text, word);
        if (identifier(text, name).empty()) break;
        name = skip_blanks(text, name);
        if (name >= text.size() || text[name] != ';') break;
        at = skip_blanks(text, name + 1);
    }
    const std::size_t start = at;
    if (identifier(text, at) != "typedef") return false;
    const std::size_t keyword = skip_blanks(text, at);
    at = keyword;
    const std::string kind = identifier(text, at);
    if (kind != "struct" && kind != "union") return false;
    // Attributes of the structure, then its tag.
    std::string tag;
    for (;;) {
        at = skip_blanks(text, at);
        const std::string word = identifier(text, at);
        if (word.empty()) return false;
        if (word != "__attribute__" && word != "__attribute") {
            tag = word;
            break;
        }
        at = skip_blanks(text, at);
        if (at >= text.size() || text[at] != '(') return false;
        at = closing(text, at);
        if (at == std::string::npos) return false;
        ++at;
    }
    at = skip_blanks(text, at);
    if (at >= text.size() || text[at] != '{') return false;
    const std::size_t close = closing(text, at);
    if (close == std::string::npos) return false;
    // The declarators: names, pointers and qualifiers up to the one ";".
    std::vector<std::string> names;
    std::string last;
    std::size_t semicolon = std::string::npos;
    for (at = close + 1; at < text.size(); ++at) {
        const char c = text[at];
        if (std::isspace(static_cast<unsigned char>(c)) || c == '*') continue;
        if (c == ',' || c == ';') {
            if (last.empty()) return false;
            names.push_back("type:" + last);
            last.clear();
            if (c == ';') {
                semicolon = at;
                break;
            }
            continue;
        }
        const std::string word = identifier(text, at);
        if (word.empty() || word.compare(0, 2, "__") == 0) return false;
        --at;
        if (word != "const" && word != "volatile" && word != "restrict") last = word;
    }
    if (semicolon == std::string::npos || skip_blanks(text, semicolon + 1) != text.size())
        return false;
    out.aggregate = kind + ":" + tag;
    out.definition = text.substr(0, start) + text.substr(keyword, close + 1 - keyword) + ";\n";
    out.type_names =
        "typedef " + kind + " " + tag + " " +
        text.substr(skip_blanks(text, close + 1), semicolon - skip_blanks(text, close + 1)) + ";\n";
    out.names = names;
    out.whole = text;
    return true;
}
