#include "bound_writer.h"

#include "contract/split_lines.h"

#include <cctype>
#include <sstream>
#include <string>

namespace {

std::string marker_text(const preprocessed_text& text, size_t offset) {
    const line_origin& origin = text.origin(text.line_of(offset));
    if (origin.file < 0) return "";
    std::string file;
    for (char c : text.files()[origin.file]) {
        if (c == '"' || c == '\\') file += '\\';
        file += c;
    }
    return "# " + std::to_string(origin.line) + " \"" + file + "\"" +
           (origin.system ? " 3 4" : "") + "\n";
}

// Where the attributes written right after a structure's body end
// (`} __attribute__((packed)) T`), or `at` when there are none. They shape the
// structure, which a statement kept for its tag alone does not define: GCC
// ignores them there with a warning (-Wattributes).
size_t after_attributes(const std::string& s, size_t at, size_t end) {
    size_t result = at;
    for (;;) {
        size_t i = s.find_first_not_of(" \t\n", result);
        if (i >= end) return result;
        size_t word = 0;
        for (const char* name : {"__attribute__", "__attribute"}) {
            const size_t length = std::char_traits<char>::length(name);
            if (s.compare(i, length, name) == 0 &&
                (i + length >= end ||
                 !(isalnum(static_cast<unsigned char>(s[i + length])) || s[i + length] == '_'))) {
                word = length;
                break;
            }
        }
        if (word == 0) return result;
        i = s.find_first_not_of(" \t\n", i + word);
        if (i >= end || s[i] != '(') return result;
        int depth = 0;
        for (; i < end; ++i) {
            if (s[i] == '(') ++depth;
            if (s[i] == ')' && --depth == 0) break;
        }
        if (i >= end) return result;
        result = i + 1;
    }
}

} // namespace

std::string write_bound(const preprocessed_text& text, const std::vector<statement>& statements,
                        const needed_text& needed) {
    const std::string& s = text.text();
    std::string out;
    for (size_t i = 0; i < statements.size(); ++i) {
        const statement& st = statements[i];
        keep level = needed.statements[i];
        if (level == keep::none) {
            if (needed.forward_tags[i].empty()) continue;
            out += marker_text(text, st.begin);
            for (const std::string& tag : needed.forward_tags[i])
                out += tag + ";\n";
            continue;
        }
        out += marker_text(text, st.begin);
        size_t at = st.begin;
        if (level == keep::forward)
            for (const auto& [begin, end] : st.bodies) {
                out.append(s, at, begin - at);
                at = after_attributes(s, end, st.end);
            }
        out.append(s, at, st.end - at);
        out += '\n';
    }
    return join_system_macro_lines(out);
}

std::string join_system_macro_lines(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    split_lines pieces;
    while (std::getline(in, line)) {
        text_marker marker;
        if (parse_line_marker(line, marker)) {
            bool system = false, enters_or_leaves = false;
            for (int flag : marker.flags) {
                system = system || flag == 3;
                enters_or_leaves = enters_or_leaves || flag == 1 || flag == 2;
            }
            // A marker between the pieces of a line is left out.
            if (pieces.marker(marker.file, marker.line, system, enters_or_leaves)) continue;
        } else if (pieces.text(line) && !out.empty()) {
            out.back() = ' ';
        }
        out += line;
        out += '\n';
    }
    return out;
}
