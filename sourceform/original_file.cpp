#include "original_file.h"

#include "trim.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// Calls `code(k)` for each character k of line `l` outside comments; a
// character or string literal is reported by its opening quote only, so that
// brackets and comment marks inside it count for nothing. `in_comment`
// carries a block comment over to the next line.
template <class F> void for_each_code_char(const std::string& l, bool& in_comment, F&& code) {
    for (size_t k = 0; k < l.size(); ++k) {
        if (in_comment) {
            if (l.compare(k, 2, "*/") == 0) {
                in_comment = false;
                ++k;
            }
        } else if (l.compare(k, 2, "/*") == 0) {
            in_comment = true;
            ++k;
        } else if (l.compare(k, 2, "//") == 0) {
            return;
        } else {
            code(k);
            const char quote = l[k];
            if (quote == '"' || quote == '\'')
                for (++k; k < l.size() && l[k] != quote; ++k)
                    if (l[k] == '\\') ++k;
        }
    }
}

bool ident_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool ident_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The word after the '#' of a directive line ("" for other lines).
std::string directive_word(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return "";
    ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    size_t b = i;
    while (i < line.size() && ident_char(line[i]))
        ++i;
    return line.substr(b, i - b);
}

// The text after the directive word.
std::string directive_rest(const std::string& text, const std::string& word) {
    size_t at = text.find(word);
    return at == std::string::npos ? "" : trim(text.substr(at + word.size()));
}

std::string first_identifier(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && !ident_start(text[i]))
        ++i;
    size_t b = i;
    while (i < text.size() && ident_char(text[i]))
        ++i;
    return text.substr(b, i - b);
}

// The macro a guard-like "#ifndef X" / "#if !defined(X)" tests, "" otherwise.
std::string guard_candidate(const std::string& word, const std::string& rest) {
    if (word == "ifndef") return first_identifier(rest);
    if (word != "if") return "";
    std::string r = rest;
    r.erase(std::remove_if(r.begin(), r.end(), [](char c) { return c == ' ' || c == '\t'; }),
            r.end());
    if (r.rfind("!defined", 0) != 0) return "";
    std::string name = first_identifier(r.substr(8));
    std::string expect1 = "!defined(" + name + ")", expect2 = "!defined" + name;
    return r == expect1 || r == expect2 ? name : "";
}

} // namespace

std::vector<std::string> identifiers_in(const std::string& text) {
    std::vector<std::string> found;
    std::set<std::string> seen;
    size_t i = 0, n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            size_t e = text.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 2;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            size_t e = text.find('\n', i);
            i = e == std::string::npos ? n : e;
        } else if (c == '"' || c == '\'') {
            ++i;
            while (i < n && text[i] != c && text[i] != '\n') {
                if (text[i] == '\\') ++i;
                ++i;
            }
            ++i;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < n && (ident_char(text[i]) || text[i] == '.'))
                ++i;
        } else if (ident_start(c)) {
            size_t b = i;
            while (i < n && ident_char(text[i]))
                ++i;
            std::string word = text.substr(b, i - b);
            if (seen.insert(word).second) found.push_back(word);
        } else {
            ++i;
        }
    }
    return found;
}

original_file::original_file(const std::string& path) : path_(path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    std::istringstream lines(all);
    std::string line;
    while (std::getline(lines, line))
        lines_.push_back(line);
    scan();
}

original_file::original_file(const std::string& path, const std::string& text) : path_(path) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        lines_.push_back(line);
    scan();
}

const std::string& original_file::line(int n) const {
    static const std::string none;
    return n >= 1 && n <= line_count() ? lines_[n - 1] : none;
}

const condition_stack& original_file::conditions_at(int n) const {
    static const condition_stack none;
    return n >= 1 && n <= line_count() ? stacks_[place_of_line_[n - 1]] : none;
}

bool original_file::is_directive(int n) const {
    return n >= 1 && n <= line_count() && directive_[n - 1];
}

bool original_file::has_code(int n) const {
    return n >= 1 && n <= line_count() && code_[n - 1];
}

void original_file::scan() {
    const int count = line_count();
    directive_.assign(count, false);
    // Directives (with their continuation lines) outside block comments.
    struct directive {
        int first, last;
        std::string word, text;
    };
    std::vector<directive> found;
    std::vector<bool> code(count, false); // holds something besides comments and directives
    bool in_comment = false;
    for (int i = 0; i < count; ++i) {
        const std::string& l = lines_[i];
        if (!in_comment && !directive_word(l).empty()) {
            directive d{i + 1, i + 1, directive_word(l), l};
            while (d.last - 1 < count && !lines_[d.last - 1].empty() &&
                   lines_[d.last - 1].back() == '\\' && d.last < count) {
                ++d.last;
                d.text += "\n" + lines_[d.last - 1];
            }
            for (int k = d.first; k <= d.last; ++k)
                directive_[k - 1] = true;
            found.push_back(d);
            i = d.last - 1;
            continue;
        }
        // Tracks block comments, to tell code from comments and to skip '#' in them.
        for_each_code_char(l, in_comment, [&](size_t k) {
            if (l[k] != ' ' && l[k] != '\t' && l[k] != '\r') code[i] = true;
        });
    }
    code_ = code;
    // An include guard: the first directive tests a macro the second defines, and
    // its #endif is the last directive with no code after it.
    int guard_open = -1, guard_close = -1;
    if (found.size() >= 3) {
        std::string name =
            guard_candidate(found[0].word, directive_rest(found[0].text, found[0].word));
        bool before = false;
        for (int k = 0; k < found[0].first - 1; ++k)
            before = before || code[k];
        if (!name.empty() && !before && found[1].word == "define" &&
            first_identifier(directive_rest(found[1].text, "define")) == name &&
            found.back().word == "endif") {
            int depth = 0;
            size_t match = 0;
            for (size_t k = 0; k < found.size(); ++k) {
                const std::string& w = found[k].word;
                if (w == "if" || w == "ifdef" || w == "ifndef") ++depth;
                if (w == "endif" && --depth == 0) {
                    match = k;
                    break;
                }
            }
            bool after = false;
            for (int k = found.back().last; k < count; ++k)
                after = after || code[k];
            if (match == found.size() - 1 && !after) {
                guard_open = 0;
                guard_close = static_cast<int>(found.size()) - 1;
                guard_ = name;
            }
        }
    }
    stacks_.push_back({});
    place_of_line_.assign(count, 0);
    condition_stack current;
    std::vector<int> open; // chain ids
    int line_at = 1;
    auto fill_to = [&](int last) {
        int index = static_cast<int>(stacks_.size()) - 1;
        for (; line_at <= last && line_at <= count; ++line_at)
            place_of_line_[line_at - 1] = index;
    };
    for (size_t k = 0; k < found.size(); ++k) {
        const directive& d = found[k];
        fill_to(d.first - 1);
        const bool guard_line = static_cast<int>(k) == guard_open ||
                                static_cast<int>(k) == guard_close || (guard_open == 0 && k == 1);
        if (!guard_line) {
            if (d.word == "if" || d.word == "ifdef" || d.word == "ifndef") {
                chains_.push_back({{d.text}});
                current.push_back({static_cast<int>(chains_.size()) - 1, 0});
            } else if ((d.word == "elif" || d.word == "else") && !current.empty()) {
                chains_[current.back().chain].branches.push_back(d.text);
                current.back().branch++;
            } else if (d.word == "endif" && !current.empty()) {
                current.pop_back();
            }
        }
        if (d.word == "define" || d.word == "undef") {
            macro_definition m;
            std::string rest = directive_rest(d.text, d.word);
            m.name = first_identifier(rest);
            m.first = d.first;
            m.last = d.last;
            m.undef = d.word == "undef";
            std::vector<std::string> words = identifiers_in(rest);
            for (const std::string& w : words)
                if (w != m.name) m.uses.push_back(w);
            if (!guard_line) macros_.push_back(m);
        } else if (d.word == "include") {
            std::string rest = directive_rest(d.text, "include");
            char open_c = rest.empty() ? 0 : rest[0];
            char close_c = open_c == '<' ? '>' : '"';
            size_t end = rest.find(close_c, 1);
            if ((open_c == '<' || open_c == '"') && end != std::string::npos)
                includes_.push_back({rest.substr(1, end - 1), open_c == '<', d.first});
        }
        stacks_.push_back(current);
        // The directive's own lines stand where the directive leaves them, except
        // an opening one, which stands outside its chain.
        const bool opens =
            !guard_line && (d.word == "if" || d.word == "ifdef" || d.word == "ifndef");
        if (opens) {
            condition_stack outer(current.begin(), current.end() - 1);
            stacks_.back() = outer;
            fill_to(d.last);
            stacks_.push_back(current);
        } else {
            fill_to(d.last);
        }
    }
    fill_to(count);
}

int original_file::comment_start(int n) const {
    int start = n;
    int k = n - 1;
    while (k >= 1) {
        std::string t = trim(line(k));
        if (t.empty() || is_directive(k)) break;
        if (t.rfind("//", 0) == 0) {
            start = k--;
            continue;
        }
        if (t.size() >= 2 && t.compare(t.size() - 2, 2, "*/") == 0) {
            int j = k;
            while (j >= 1 && line(j).find("/*") == std::string::npos)
                --j;
            if (j < 1 || trim(line(j)).rfind("/*", 0) != 0) break;
            start = j;
            k = j - 1;
            continue;
        }
        break;
    }
    return start;
}

int original_file::balanced_end(int first, int last) const {
    int depth = 0;
    bool in_comment = false;
    for (int n = first; n <= line_count(); ++n) {
        if (!is_directive(n)) {
            const std::string& l = line(n);
            for_each_code_char(l, in_comment, [&](size_t k) {
                const char c = l[k];
                if (c == '(' || c == '[' || c == '{') ++depth;
                if (c == ')' || c == ']' || c == '}') --depth;
            });
        }
        if (n >= last && depth <= 0) return n;
    }
    return last;
}
