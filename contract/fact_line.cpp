#include "contract/fact_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
bool white(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next word of `line` from `pos` on; empty when there is none.
std::string next_word(const std::string& line, std::size_t& pos) {
    while (pos < line.size() && white(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !white(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
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
    const std::string number = next_word(line, pos);
    if (number.empty()) return false;
    errno = 0;
    char* rest = nullptr;
    const long kind = std::strtol(number.c_str(), &rest, 10);
    if (*rest != '\0' || rest == number.c_str() || errno == ERANGE || kind < INT_MIN ||
        kind > INT_MAX)
        return false;
    into.kind = static_cast<int>(kind);
    into.subject = next_word(line, pos);
    into.object = next_word(line, pos);
    return !into.object.empty();
}
