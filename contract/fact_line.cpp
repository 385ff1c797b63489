#include "contract/fact_line.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
// The blanks of the "C" locale, which these programs never leave.
bool white(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The next word of `line` from `pos` on into `word` (whose storage is
// reused: a file is read a line at a time); empty when there is none.
void next_word(const std::string& line, std::size_t& pos, std::string& word) {
    while (pos < line.size() && white(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !white(line[pos]))
        ++pos;
    word.assign(line, start, pos - start);
}
} // namespace

bool fits_fact_line(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word)
        if (white(c)) return false;
    return true;
}

void write_fact_line(std::ostream& out, int kind, std::string_view subject,
                     std::string_view object) {
    out << kind << ' ' << subject << ' ' << object << '\n';
}

bool read_fact_line(const std::string& line, fact& into) {
    std::size_t pos = 0;
    std::string number;
    next_word(line, pos, number);
    if (number.empty()) return false;
    errno = 0;
    char* rest = nullptr;
    const long kind = std::strtol(number.c_str(), &rest, 10);
    if (*rest != '\0' || rest == number.c_str() || errno == ERANGE || kind < INT_MIN ||
        kind > INT_MAX)
        return false;
    into.kind = static_cast<int>(kind);
    next_word(line, pos, into.subject);
    next_word(line, pos, into.object);
    return !into.object.empty();
}
