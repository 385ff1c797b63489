#include "check_compare.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

std::string with_placeholder(std::string text, const std::string& dir) {
    const std::string placeholder = "<copy>";
    if (dir.empty()) return text;
    for (size_t at = 0; (at = text.find(dir, at)) != std::string::npos; at += placeholder.size())
        text.replace(at, dir.size(), placeholder);
    return text;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool is_word(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The end of a number at `at` (digits, then a fraction), `at` when none.
size_t number_end(const std::string& line, size_t at) {
    size_t end = at;
    while (end < line.size() && is_digit(line[end]))
        ++end;
    if (end == at) return at;
    if (end + 1 < line.size() && line[end] == '.' && is_digit(line[end + 1]))
        for (++end; end < line.size() && is_digit(line[end]);)
            ++end;
    return end;
}

// The end of a duration at `at`: a number and a unit of time ("0.03 sec",
// "12ms", "1m0.52s" as `time` prints it), `at` when none.
size_t duration_end(const std::string& line, size_t at) {
    if (at > 0 && (is_word(line[at - 1]) || line[at - 1] == '.')) return at;
    size_t end = number_end(line, at);
    if (end == at) return at;
    if (end < line.size() && line[end] == 'm') { // minutes, then seconds
        const size_t seconds = number_end(line, end + 1);
        if (seconds > end + 1 && seconds < line.size() && line[seconds] == 's' &&
            (seconds + 1 == line.size() || !is_word(line[seconds + 1])))
            return seconds + 1;
    }
    size_t unit = end;
    while (unit < line.size() && line[unit] == ' ')
        ++unit;
    static const char* const units[] = {"seconds", "second", "secs", "sec",     "msec",
                                        "ms",      "us",     "s",    "minutes", "min"};
    for (const char* name : units) {
        const std::string u = name;
        if (line.compare(unit, u.size(), u) == 0 &&
            (unit + u.size() == line.size() || !is_word(line[unit + u.size()])))
            return unit + u.size();
    }
    return at;
}

// A line with every duration replaced by one placeholder: test runners print
// how long each test took, and no two runs take the same time.
std::string without_durations(const std::string& line) {
    std::string out;
    for (size_t at = 0; at < line.size();) {
        const size_t end = is_digit(line[at]) ? duration_end(line, at) : at;
        if (end > at) {
            out += "<duration>";
            at = end;
        } else {
            out += line[at++];
        }
    }
    return out;
}

std::string shown(const std::vector<std::string>& lines, size_t i) {
    if (i >= lines.size()) return "(no more output)";
    const size_t limit = 200;
    const std::string& line = lines[i];
    return "\"" + (line.size() > limit ? line.substr(0, limit) + "..." : line) + "\"";
}

} // namespace

std::string first_output_difference(const std::string& before_text, const std::string& before_dir,
                                    const std::string& after_text, const std::string& after_dir) {
    std::string before = with_placeholder(before_text, before_dir);
    std::string after = with_placeholder(after_text, after_dir);
    if (before == after) return "";
    std::vector<std::string> a = lines_of(before), b = lines_of(after);
    size_t i = 0;
    while (i < a.size() && i < b.size() &&
           (a[i] == b[i] || without_durations(a[i]) == without_durations(b[i])))
        ++i;
    if (i == a.size() && i == b.size()) {
        const bool final_break_differs = (before.back() == '\n') != (after.back() == '\n');
        return final_break_differs ? "the output ends differently (a final line break)" : "";
    }
    return "line " + std::to_string(i + 1) + ": before " + shown(a, i) + " / after " + shown(b, i);
}
