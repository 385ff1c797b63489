// The restructurer keeps GCC's preprocessor line markers (`# 12 "a.h" 2`) in the
// rewritten sources and new headers, so that messages point into the original
// files. In a source that is compiled, not preprocessed output, that form is a
// GCC extension: `-pedantic-errors` rejects it ("style of line directive is a GCC
// extension"). The standard `#line 12 "a.h"` says the same (the flags after the
// name only tell GCC how the text was entered, which a compiled source does not
// need), so every marker is written in that form.
#pragma once

#include <string>

// `text` with each GCC line marker turned into a `#line` directive.
std::string standard_line_markers(const std::string& text);

// The same on a file in place; false when it cannot be read or written.
bool standardize_file_line_markers(const std::string& path);
