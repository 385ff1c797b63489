// Sizes of preprocessed text, and the headers a preprocessed text came from.
#pragma once

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
