#include "preprocessed_text.h"

#include <algorithm>
#include <cctype>

bool parse_line_marker(const std::string& line, text_marker& marker) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= line.size() || line[i] != '#') return false;
    ++i;
    if (line.compare(i, 4, "line") == 0) i += 4;
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i >= line.size() || !isdigit(static_cast<unsigned char>(line[i]))) return false;
    marker = text_marker();
    while (i < line.size() && isdigit(static_cast<unsigned char>(line[i])))
        marker.line = marker.line * 10 + (line[i++] - '0');
    size_t open = line.find('"', i);
    if (open == std::string::npos) return false;
    size_t close = open + 1;
    std::string file;
    while (close < line.size() && line[close] != '"') {
        if (line[close] == '\\' && close + 1 < line.size()) ++close;
        file += line[close++];
    }
    if (close >= line.size()) return false;
    marker.file = file;
    for (i = close + 1; i < line.size(); ++i)
        if (isdigit(static_cast<unsigned char>(line[i]))) marker.flags.push_back(line[i] - '0');
    return true;
}

preprocessed_text::preprocessed_text(std::string text) : text_(std::move(text)) {
    line_origin current;
    size_t start = 0;
    while (start < text_.size()) {
        size_t end = text_.find('\n', start);
        if (end == std::string::npos) end = text_.size();
        std::string line = text_.substr(start, end - start);
        starts_.push_back(start);
        text_marker marker;
        line_origin here = current;
        here.marker = here.directive = false;
        if (parse_line_marker(line, marker)) {
            auto found = std::find(files_.begin(), files_.end(), marker.file);
            int file = static_cast<int>(found - files_.begin());
            if (found == files_.end()) files_.push_back(marker.file);
            if (main_file_ < 0) main_file_ = file;
            here.marker = true;
            current.file = file;
            current.line = marker.line;
            current.system =
                std::find(marker.flags.begin(), marker.flags.end(), 3) != marker.flags.end();
        } else {
            size_t first = line.find_first_not_of(" \t");
            here.directive = first != std::string::npos && line[first] == '#';
            ++current.line;
        }
        origins_.push_back(here);
        start = end + 1;
    }
}

size_t preprocessed_text::line_of(size_t offset) const {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return after == starts_.begin() ? 0 : static_cast<size_t>(after - starts_.begin()) - 1;
}
