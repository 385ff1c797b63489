#include "text_measure.h"

#include "contract/split_lines.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

text_size measure_file(const std::string& path) {
    text_size size;
    std::ifstream in(path, std::ios::binary);
    char buffer[65536];
    bool code = false; // the current line holds something but white space
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        std::streamsize got = in.gcount();
        size.bytes += got;
        for (std::streamsize i = 0; i < got; ++i) {
            char c = buffer[i];
            if (c == '\n') {
                size.lines += code;
                code = false;
            } else if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') {
                code = true;
            }
        }
    }
    size.lines += code;
    return size;
}

namespace {

// The quoted file name of a line marker ("# 12 \"a.h\" 2" or "#line 12 \"a.h\""),
// or "" when the line is not one.
std::string marker_file(const std::string& line) {
    if (line.size() < 4 || line[0] != '#') return "";
    size_t i = 1;
    if (line.compare(1, 4, "line") == 0) i = 5;
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i >= line.size() || !isdigit(static_cast<unsigned char>(line[i]))) return "";
    size_t open = line.find('"', i);
    size_t close = line.rfind('"');
    if (open == std::string::npos || close <= open) return "";
    return line.substr(open + 1, close - open - 1);
}

// The line number a marker gives the line after it.
long marker_line(const std::string& line) {
    size_t i = line.compare(1, 4, "line") == 0 ? 5 : 1;
    while (i < line.size() && line[i] == ' ')
        ++i;
    return std::atol(line.c_str() + i);
}

// A line holding one comment and nothing else. Preprocessed text keeps no
// comments but those that are code to the compiler (a fall-through marker
// before a case label, see code_comments.h); a line of one of them alone is
// not counted as text, so a unit's original text (preprocessed with them) and
// its rewritten one (without) count alike.
bool comment_only(const std::string& line) {
    size_t first = line.find_first_not_of(" \t\r");
    size_t last = line.find_last_not_of(" \t\r");
    if (first == std::string::npos || line.compare(first, 2, "//") == 0) return true;
    return line.compare(first, 2, "/*") == 0 && last >= first + 3 &&
           line.compare(last - 1, 2, "*/") == 0 && line.find("*/", first + 2) == last - 1;
}

// The change a line of preprocessed text makes to the depth of braces, outside
// string and character literals and comments (`in_comment` carries a comment
// over lines).
int brace_change(const std::string& line, bool& in_comment) {
    int change = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (in_comment) {
            if (c == '*' && i + 1 < line.size() && line[i + 1] == '/') {
                in_comment = false;
                ++i;
            }
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
            in_comment = true;
            ++i;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            break;
        } else if (c == '"' || c == '\'') {
            for (++i; i < line.size() && line[i] != c; ++i)
                if (line[i] == '\\') ++i;
        } else if (c == '{') {
            ++change;
        } else if (c == '}') {
            --change;
        }
    }
    return change;
}

} // namespace

text_origins read_origins(const std::string& preprocessed, const std::string& tree,
                          const header_lines_in_source& header_lines) {
    text_origins origins;
    enum class origin { none, own, project, system } current = origin::none;
    std::string header;
    // Text of a file included inside a declaration (a table included in a
    // function's body, as zlib's inffixed.h) is that declaration's text and
    // counts where the declaration does: a restructured source holds the
    // declaration whole, with no marker of the included file.
    int depth = 0;
    bool in_comment = false;
    int absorbed = 0; // includes open since one was entered inside a declaration
    // Where the next line stands, for the header lines written into a source.
    const fs::path source = fs::path(header_lines.source).lexically_normal();
    bool in_source = false;
    long line_no = 0;
    // The pieces of a line that the preprocessor split around a system macro's
    // expansion count as one line, as `cc -E -P` writes it.
    split_lines pieces;
    std::ifstream in(preprocessed);
    std::string line;
    while (std::getline(in, line)) {
        std::string file = marker_file(line);
        if (!file.empty()) {
            if (absorbed > 0 || (depth > 0 && line_marker_flag(line, 1))) {
                if (line_marker_flag(line, 1)) ++absorbed;
                if (line_marker_flag(line, 2)) --absorbed;
                fs::path path = fs::path(file).lexically_normal();
                fs::path rel = path.lexically_relative(tree);
                if (path.is_absolute() && !rel.empty() && *rel.begin() != ".." &&
                    path.extension() != ".c" &&
                    path.string().find("/include.new/") == std::string::npos)
                    origins.project_headers.emplace(path.string(), 0);
                if (absorbed > 0) continue;
            }
            in_source = false;
            // GCC names the working directory with a trailing "//"; it holds no text.
            if (file.size() >= 2 && file.compare(file.size() - 2, 2, "//") == 0) continue;
            if (file[0] == '<') {
                current = origin::none;
                continue;
            }
            fs::path path = fs::path(file).lexically_normal();
            fs::path rel = path.lexically_relative(tree);
            bool in_tree = path.is_absolute() && !rel.empty() && *rel.begin() != "..";
            in_source = !header_lines.source.empty() && path == source;
            line_no = marker_line(line);
            pieces.marker(path.string(), line_no, line_marker_flag(line, 3),
                          line_marker_flag(line, 1) || line_marker_flag(line, 2));
            if (path.string().find("/include.new/") != std::string::npos) {
                // A generated header: its text carries the original headers' markers.
                origins.new_headers.insert(path.string());
                current = origin::none;
            } else if (!path.is_absolute() || path.extension() == ".c") {
                current = origin::own;
            } else if (in_tree) {
                current = origin::project;
                header = path.string();
                origins.project_headers.emplace(header, 0);
            } else {
                current = origin::system;
            }
            continue;
        }
        depth += brace_change(line, in_comment);
        if (depth < 0) depth = 0;
        const long this_line = line_no++;
        if (pieces.text(line) || comment_only(line)) continue;
        switch (current) {
        case origin::own:
            if (in_source && this_line >= header_lines.first && this_line <= header_lines.last)
                ++origins.project;
            else
                ++origins.own;
            break;
        case origin::project:
            ++origins.project;
            ++origins.project_headers[header];
            break;
        case origin::system:
            ++origins.system;
            break;
        case origin::none:
            break;
        }
    }
    return origins;
}

std::set<std::string> project_headers_in(const std::string& preprocessed, const std::string& tree) {
    std::set<std::string> headers;
    for (const auto& [header, lines] : read_origins(preprocessed, tree).project_headers)
        headers.insert(header);
    return headers;
}
