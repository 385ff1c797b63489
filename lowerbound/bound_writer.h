// Writes the kept statements of a preprocessed unit, in their original order,
// as a preprocessed text of its own: a line marker before every piece so that
// each line still names the file it came from.
#pragma once

#include "needs.h"
#include "preprocessed_text.h"
#include "statements.h"

#include <string>

std::string write_bound(const preprocessed_text& text, const std::vector<statement>& statements,
                        const needed_text& needed);

// Joins back onto one line the expansions of system-header macros (NULL,
// errno, ...) that the preprocessor puts on lines of their own between a marker
// into the system header and one back out of it, so that the unit's own code has
// the lines it has when preprocessed without line markers.
std::string join_system_macro_lines(const std::string& text);
