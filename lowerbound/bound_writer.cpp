#include "bound_writer.h"

#include <sstream>

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
                at = end;
            }
        out.append(s, at, st.end - at);
        out += '\n';
    }
    return join_system_macro_lines(out);
}

std::string join_system_macro_lines(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    std::string file;    // the file of the last marker
    bool system = false; // and whether it was a system header
    bool join = false;   // the next line continues the previous one
    bool after_marker = false;
    while (std::getline(in, line)) {
        line_marker marker;
        if (parse_line_marker(line, marker)) {
            bool to_system = false, push_or_pop = false;
            for (int flag : marker.flags) {
                to_system = to_system || flag == 3;
                push_or_pop = push_or_pop || flag == 1 || flag == 2;
            }
            // The same file, neither entered nor left: only the system flag
            // flips, around the expansion of a system header's macro.
            if (!push_or_pop && marker.file == file && to_system != system && !out.empty()) {
                system = to_system;
                join = true;
                continue;
            }
            file = marker.file;
            system = to_system;
        }
        if (join) {
            if (!after_marker && !out.empty() && out.back() == '\n') out.back() = ' ';
            join = false;
        }
        after_marker = !marker.file.empty();
        out += line;
        out += '\n';
    }
    return out;
}
