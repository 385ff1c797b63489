#include "loading/fact_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
bool blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next word of `line` from `pos` on; empty when there is none.
std::string next_word(const std::string& line, std::size_t& pos) {
    while (pos < line.size() && blank(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !blank(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}
} // namespace

bool split_fact_line(const std::string& line, fact_line& fact) {
    std::size_t pos = 0;
    const std::string number = next_word(line, pos);
    if (number.empty()) return false;
    errno = 0;
    char* rest = nullptr;
    const long kind = std::strtol(number.c_str(), &rest, 10);
    if (*rest != '\0' || rest == number.c_str() || errno == ERANGE || kind < INT_MIN ||
        kind > INT_MAX)
        return false;
    fact.kind = static_cast<int>(kind);
    fact.subject = next_word(line, pos);
    fact.object = next_word(line, pos);
    return !fact.object.empty();
}

int leading_int(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

int line_of(const std::string& position) {
    const std::size_t dot = position.rfind('.');
    return leading_int(dot == std::string::npos ? position : position.substr(0, dot));
}

std::string preprocessed_source(const std::string& fact_file) {
    const std::size_t dot = fact_file.rfind('.');
    return (dot == std::string::npos ? fact_file : fact_file.substr(0, dot)) + ".cpp.c";
}
