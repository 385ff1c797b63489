// `#line` directives of a file the build generated (a parser bison wrote, a
// scanner flex wrote): they give the text that follows the name of the file it
// was copied from (the grammar), often relative to the compile directory.
#pragma once

#include <string>

// The name a `#line 12 "name"` or `# 12 "name"` directive gives, with anything
// after it (flags, a comment); false for every other line.
bool line_directive_name(const std::string& line, std::string& name);

inline bool is_line_directive(const std::string& line) {
    std::string name;
    return line_directive_name(line, name);
}
