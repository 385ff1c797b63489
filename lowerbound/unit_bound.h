// The lower bound of one unit from libclang's parse of its preprocessed text.
// The lowerbound program parses the unit for it; c2ta computes it from the parse
// it makes for the TA dump, so that a unit is parsed once for both.
#pragma once

#include "needs.h"
#include "preprocessed_text.h"

#include <clang-c/Index.h>

#include <string>

// Why `text` (read from `input`) has no lower bound: "" when it carries the
// line markers of the preprocessor's output, which the bound is cut along.
std::string unbounded_text_error(const preprocessed_text& text, const std::string& input);

// The bound's text: the statements of `text` that `unit` (its parse) needs, or
// every statement with `keep_all`.
std::string unit_bound(CXTranslationUnit unit, const preprocessed_text& text,
                       const warning_needs& warnings, bool keep_all = false);
