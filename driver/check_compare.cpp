#include "check_compare.h"

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
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    if (i == a.size() && i == b.size()) // only the final newline differs
        return "the output ends differently (a final line break)";
    return "line " + std::to_string(i + 1) + ": before " + shown(a, i) + " / after " + shown(b, i);
}
