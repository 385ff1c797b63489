#include "inactive_text.h"

#include <regex>

namespace {

// `inner` stands inside `outer`: the same chains and branches, maybe more.
bool within(const condition_stack& inner, const condition_stack& outer) {
    if (inner.size() < outer.size()) return false;
    for (size_t k = 0; k < outer.size(); ++k)
        if (!(inner[k] == outer[k])) return false;
    return true;
}

// The text of lines first..last without comments and with empty literals.
std::string code_of(const original_file& f, int first, int last) {
    std::string text;
    for (int n = first; n <= last; ++n)
        text += f.line(n) + "\n";
    std::string code;
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "/*") == 0) {
            size_t e = text.find("*/", i + 2);
            i = e == std::string::npos ? text.size() : e + 2;
            code += ' ';
        } else if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos) i = text.size();
        } else if (text[i] == '"' || text[i] == '\'') {
            const char quote = text[i++];
            while (i < text.size() && text[i] != quote && text[i] != '\n')
                i += text[i] == '\\' ? 2 : 1;
            ++i;
            code += "0";
        } else {
            code += text[i++];
        }
    }
    return code;
}

} // namespace

std::vector<uncovered_piece> uncovered_pieces(const original_file& f,
                                              const std::vector<std::pair<int, int>>& covered) {
    const int count = f.line_count();
    std::vector<bool> taken(static_cast<size_t>(count) + 1, false);
    for (const auto& [first, last] : covered)
        for (int n = std::max(first, 1); n <= last && n <= count; ++n)
            taken[n] = true;
    auto open = [&](int n) {
        return f.has_code(n) && !f.is_directive(n) && !taken[n] && !f.conditions_at(n).empty();
    };
    std::vector<uncovered_piece> pieces;
    for (int n = 1; n <= count; ++n) {
        if (!open(n)) continue;
        const condition_stack& where = f.conditions_at(n);
        // A declaration runs to where its brackets close; the chains it opens
        // must close inside it, and nothing covered may stand in it.
        int end = f.balanced_end(n, n);
        bool whole = true;
        for (int m = n + 1; m <= end && whole; ++m)
            whole = !taken[m] && within(f.conditions_at(m), where);
        whole = whole && f.conditions_at(end) == where;
        int depth = 0;
        for (char c : code_of(f, n, end))
            depth += c == '(' || c == '[' || c == '{'   ? 1
                     : c == ')' || c == ']' || c == '}' ? -1
                                                        : 0;
        whole = whole && depth == 0;
        if (!whole) {
            // Unbalanced text (`extern "C" {`): the lines of its branch up to the
            // next directive or covered line, written where they stood.
            end = n;
            while (end + 1 <= count && !f.is_directive(end + 1) && !taken[end + 1] &&
                   f.conditions_at(end + 1) == where)
                ++end;
            while (end > n && !f.has_code(end))
                --end;
        }
        pieces.push_back({n, end, whole});
        n = end;
    }
    return pieces;
}

bool declares(const original_file& f, int first, int last, const std::string& name) {
    if (name.empty()) return false;
    const std::regex declarator("(^|[^A-Za-z0-9_])" + name + "\\s*([;,=\\[{(]|\\)\\s*\\()");
    const std::string code = code_of(f, first, last);
    return std::regex_search(code, declarator);
}
