// The numbers the loader reads out of a fact's words: a file fact's count and
// the line of a position.
#pragma once

#include <string>

// The integer at the start of `text` (after blanks), 0 when there is none.
int leading_int(const std::string& text);

// The line number of a position written line.column: the integer before the
// last "." (the whole text when it has none).
int line_of(const std::string& position);
