// Splits a preprocessed unit into its top-level statements: the declarations and
// function definitions at file scope, each from its first token to the ';' (or the
// '}' of a function body) that ends it, and the #pragma lines between them.
#pragma once

#include "preprocessed_text.h"

#include <string>
#include <utility>
#include <vector>

struct statement {
    size_t begin = 0;       // offset of the first character
    size_t end = 0;         // offset just after the last one
    bool directive = false; // a #pragma (or other directive) line
    // The bodies "{...}" of the named structs and unions the statement defines
    // at its top level: the parts its forward-declaring form leaves out.
    std::vector<std::pair<size_t, size_t>> bodies;
    // Whether the statement holds a '{' at its top level that is not such a
    // body (a function body, an enum, an unnamed struct, an initializer).
    bool other_braces = false;
};

std::vector<statement> split_statements(const preprocessed_text& text);

// Index of the statement holding `offset`, or -1.
int statement_at(const std::vector<statement>& statements, size_t offset);
