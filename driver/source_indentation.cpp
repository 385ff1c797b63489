#include "source_indentation.h"

#include "fresh_file.h"

#include <cctype>
#include <fstream>
#include <map>
#include <memory>

namespace {

// A line marker of cc -E (`# 12 "name" 1 3`): its number and the name with the
// escapes undone; false for any other line.
bool read_marker(const std::string& line, long& number, std::string& name) {
    size_t i = 0;
    if (line.compare(0, 2, "# ") == 0)
        i = 2;
    else if (line.compare(0, 6, "#line ") == 0)
        i = 6;
    else
        return false;
    size_t digits = i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
        ++i;
    if (i == digits || i + 1 >= line.size() || line[i] != ' ' || line[i + 1] != '"') return false;
    number = std::stol(line.substr(digits, i - digits));
    name.clear();
    for (size_t j = i + 2; j < line.size(); ++j) {
        if (line[j] == '"') return true;
        if (line[j] == '\\' && j + 1 < line.size()) ++j;
        name += line[j];
    }
    return false;
}

// The original's white space when `line` starts with as many blanks as the
// original has characters of white space before the same character.
bool original_indent(const std::string& line, const std::string& original, size_t& width) {
    width = line.find_first_not_of(' ');
    if (width == 0 || width == std::string::npos) return false;
    if (original.size() <= width || original[width] != line[width]) return false;
    bool tab = false;
    for (size_t i = 0; i < width; ++i) {
        if (original[i] != ' ' && original[i] != '\t') return false;
        tab = tab || original[i] == '\t';
    }
    return tab;
}

} // namespace

std::string restore_indentation(const std::string& text, const source_lines& lines_of) {
    std::string out;
    out.reserve(text.size());
    const std::vector<std::string>* original = nullptr;
    long number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        bool last = end == std::string::npos;
        if (last) end = text.size();
        std::string line = text.substr(start, end - start);
        long marked = 0;
        std::string name;
        if (read_marker(line, marked, name)) {
            original = lines_of(name);
            number = marked;
        } else {
            size_t width = 0;
            if (original && number >= 1 && static_cast<size_t>(number) <= original->size() &&
                original_indent(line, (*original)[number - 1], width))
                line.replace(0, width, (*original)[number - 1], 0, width);
            ++number;
        }
        out += line;
        if (!last) out += '\n';
        start = end + 1;
    }
    return out;
}

bool restore_indentation_in_file(const std::string& path) {
    std::map<std::string, std::unique_ptr<std::vector<std::string>>> files;
    auto lines_of = [&files](const std::string& name) -> const std::vector<std::string>* {
        auto found = files.find(name);
        if (found == files.end()) {
            std::unique_ptr<std::vector<std::string>> lines;
            std::ifstream in(name, std::ios::binary);
            if (in) {
                lines = std::make_unique<std::vector<std::string>>();
                std::string line;
                while (std::getline(in, line)) {
                    if (!line.empty() && line.back() == '\r') line.pop_back();
                    lines->push_back(line);
                }
            }
            found = files.emplace(name, std::move(lines)).first;
        }
        return found->second.get();
    };
    return rewrite_fresh(
        path, [&](const std::string& text) { return restore_indentation(text, lines_of); });
}
