#include "statements.h"

#include <algorithm>
#include <cctype>

namespace {

bool identifier_char(char c) {
    return isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// A token of the statement splitter: only its kind and extent matter.
struct token {
    size_t begin = 0, end = 0;
    char punct = 0; // the character of a one-character punctuator, else 0
    bool identifier = false;
};

class lexer {
  public:
    explicit lexer(const preprocessed_text& text) : text_(text), s_(text.text()) {}

    // Next token outside directive lines; false at the end. Directive lines are
    // reported through `directive` (their extent, without the newline).
    bool next(token& t, std::pair<size_t, size_t>& directive) {
        directive = {0, 0};
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
                continue;
            }
            size_t line = text_.line_of(pos_);
            const line_origin& origin = text_.origin(line);
            if ((origin.marker || origin.directive) && pos_ == first_non_blank(line)) {
                size_t end = s_.find('\n', pos_);
                if (end == std::string::npos) end = s_.size();
                if (origin.directive) directive = {pos_, end};
                pos_ = end;
                if (origin.directive) return false;
                continue;
            }
            t = token();
            t.begin = pos_;
            if (identifier_char(c)) {
                t.identifier = !isdigit(static_cast<unsigned char>(c));
                while (pos_ < s_.size() && identifier_char(s_[pos_]))
                    ++pos_;
                // Literal prefixes (L"", u8'') run on into the quote.
                if (pos_ < s_.size() && (s_[pos_] == '"' || s_[pos_] == '\'') &&
                    pos_ - t.begin <= 2) {
                    t.identifier = false;
                    quoted(s_[pos_]);
                }
            } else if (c == '"' || c == '\'') {
                quoted(c);
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '*') {
                size_t end = s_.find("*/", pos_ + 2);
                pos_ = end == std::string::npos ? s_.size() : end + 2;
                continue;
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                pos_ = s_.find('\n', pos_);
                if (pos_ == std::string::npos) pos_ = s_.size();
                continue;
            } else {
                t.punct = c;
                ++pos_;
            }
            t.end = pos_;
            return true;
        }
        return false;
    }

    bool at_end() const { return pos_ >= s_.size(); }

  private:
    size_t first_non_blank(size_t line) const {
        size_t at = text_.line_start(line);
        while (at < s_.size() && (s_[at] == ' ' || s_[at] == '\t'))
            ++at;
        return at;
    }
    void quoted(char quote) {
        ++pos_;
        while (pos_ < s_.size() && s_[pos_] != quote && s_[pos_] != '\n') {
            if (s_[pos_] == '\\') ++pos_;
            ++pos_;
        }
        if (pos_ < s_.size() && s_[pos_] == quote) ++pos_;
    }

    const preprocessed_text& text_;
    const std::string& s_;
    size_t pos_ = 0;
};

bool spelled(const std::string& s, const token& t, const char* word) {
    return s.compare(t.begin, t.end - t.begin, word) == 0 && word[t.end - t.begin] == '\0';
}

} // namespace

std::vector<statement> split_statements(const preprocessed_text& text) {
    const std::string& s = text.text();
    std::vector<statement> statements;
    lexer lex(text);
    statement current;
    bool open = false;          // a statement has begun
    int depth = 0;              // nesting of (), [] and {}
    bool function_body = false; // the top-level '{' followed a ')'
    size_t body_open = 0;
    bool body_named = false;
    std::vector<token> recent; // top-level tokens of the current statement
    auto finish = [&](size_t end) {
        current.end = end;
        statements.push_back(current);
        current = statement();
        open = false;
        function_body = false;
        recent.clear();
    };
    while (!lex.at_end()) {
        token t;
        std::pair<size_t, size_t> directive;
        if (!lex.next(t, directive)) {
            if (directive.second > directive.first && !open) {
                statement d;
                d.begin = directive.first;
                d.end = directive.second;
                d.directive = true;
                statements.push_back(d);
            }
            continue;
        }
        if (!open) {
            open = true;
            current.begin = t.begin;
        }
        if (t.punct == '(' || t.punct == '[' || t.punct == '{') {
            if (depth == 0 && t.punct == '{') {
                body_open = t.begin;
                const token* before = recent.empty() ? nullptr : &recent.back();
                function_body = before && before->punct == ')' && !recent.empty();
                // "struct NAME {" or "union NAME {" (attributes may stand between
                // the keyword and the name, never between the name and the brace).
                body_named = false;
                if (before && before->identifier) {
                    for (auto it = recent.rbegin(); it != recent.rend(); ++it)
                        if (it->identifier &&
                            (spelled(s, *it, "struct") || spelled(s, *it, "union"))) {
                            body_named = &*it != before;
                            break;
                        } else if (it->identifier && (spelled(s, *it, "enum"))) {
                            break;
                        }
                }
                // A function's body also follows "__attribute__((...))" or an asm
                // label; a brace after ')' inside a struct head does not occur in C.
                if (function_body) body_named = false;
            }
            ++depth;
        } else if (t.punct == ')' || t.punct == ']' || t.punct == '}') {
            if (depth > 0) --depth;
            if (depth == 0 && t.punct == '}') {
                if (function_body) {
                    current.other_braces = true;
                    finish(t.end);
                    continue;
                }
                if (body_named)
                    current.bodies.emplace_back(body_open, t.end);
                else
                    current.other_braces = true;
            }
        } else if (t.punct == ';' && depth == 0) {
            finish(t.end);
            continue;
        }
        if (depth == 0 || (depth == 1 && t.punct == '{')) recent.push_back(t);
    }
    if (open) finish(s.size());
    return statements;
}

int statement_at(const std::vector<statement>& statements, size_t offset) {
    auto after =
        std::upper_bound(statements.begin(), statements.end(), offset,
                         [](size_t value, const statement& st) { return value < st.begin; });
    if (after == statements.begin()) return -1;
    --after;
    return offset < after->end ? static_cast<int>(after - statements.begin()) : -1;
}
