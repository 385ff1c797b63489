// Sizes of preprocessed text, and the headers a preprocessed text came from.
#pragma once

#include <set>
#include <string>

struct text_size {
    long lines = 0;
    long bytes = 0;
};

// Lines (newline characters, plus an unfinished last line) and bytes of a file.
text_size measure_file(const std::string& path);

// The files named by the line markers of a preprocessed file that lie inside
// `tree` and are not the unit's own sources: the project headers it drew from.
std::set<std::string> project_headers_in(const std::string& preprocessed, const std::string& tree);
