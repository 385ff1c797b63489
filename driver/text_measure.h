// Sizes of preprocessed text, and the headers a preprocessed text came from.
#pragma once

#include <map>
#include <set>
#include <string>

struct text_size {
    long lines = 0; // lines holding anything but white space
    long bytes = 0;
};

// Lines that hold anything but white space, and bytes, of a file. Blank lines
// are left out: how many the preprocessor writes between the parts of a text
// depends on where its line markers point, not on the code, and the texts
// compared (original, rewritten, lower bound) carry different markers.
text_size measure_file(const std::string& path);

// The files named by the line markers of a preprocessed file that lie inside
// `tree` and are not the unit's own sources: the project headers it drew from.
std::set<std::string> project_headers_in(const std::string& preprocessed, const std::string& tree);

// Where the text of a preprocessed file (with line markers) comes from, in
// non-blank lines: the unit's own source, the project's headers, the system's.
// A line of a comment alone (the fall-through markers <unit>.cpp.c keeps) is
// blank here, so that the unit's .cpp.c counts as its plain `cc -E` text does.
struct text_origins {
    long own = 0;
    long project = 0;
    long system = 0;
    // Project headers named by the markers, with the non-blank lines each gave;
    // 0 for a header that only defines macros (a config.h).
    std::map<std::string, long> project_headers;
    // Headers of the restructured tree (under include.new/) the text went through.
    std::set<std::string> new_headers;
};

// Lines of a source, first to last, that hold declarations of project headers
// written into it (the source form writes those only one source uses into that
// source): they count as project-header text, as the measured form's line
// markers, which name the header, count them.
struct header_lines_in_source {
    std::string source; // absolute path, as the markers name it
    int first = 0, last = -1;
};

text_origins read_origins(const std::string& preprocessed, const std::string& tree,
                          const header_lines_in_source& header_lines = {});
