#include "line_markers.h"

#include "fresh_file.h"

#include <cctype>

namespace {

// `# 12 "name" 1 3` -> `#line 12 "name"`; any other line is returned unchanged.
std::string standard_marker(const std::string& line) {
    if (line.size() < 3 || line[0] != '#' || line[1] != ' ') return line;
    size_t i = 2;
    size_t digits = i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
        ++i;
    if (i == digits || i + 1 >= line.size() || line[i] != ' ' || line[i + 1] != '"') return line;
    size_t open = i + 1;
    size_t close = open + 1;
    while (close < line.size() && line[close] != '"') {
        if (line[close] == '\\') ++close;
        ++close;
    }
    if (close >= line.size()) return line;
    return "#line " + line.substr(digits, i - digits) + " " + line.substr(open, close - open + 1);
}

} // namespace

std::string standard_line_markers(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        bool last = end == std::string::npos;
        if (last) end = text.size();
        out += standard_marker(text.substr(start, end - start));
        if (!last) out += '\n';
        start = end + 1;
    }
    return out;
}

bool standardize_file_line_markers(const std::string& path) {
    return rewrite_fresh(path, standard_line_markers);
}
