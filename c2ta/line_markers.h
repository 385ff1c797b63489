// Line markers of preprocessed C text: `# 12 "file.h" 1 3` as the preprocessor
// writes them, and `#line 12 "file.h"`.
#pragma once

#include <string>
#include <vector>

struct line_marker {
    std::size_t next_line_offset; // offset of the line after the marker
    unsigned line;
    std::string file;
    bool enters = false;  // flag 1: start of an included file
    bool returns = false; // flag 2: back in the including file
};

// Every marker of the text, in order.
std::vector<line_marker> read_line_markers(const char* text, std::size_t size);
