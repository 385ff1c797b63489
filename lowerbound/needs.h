// Which top-level statements of a preprocessed unit its own code needs, found
// with libclang from the unit's own code outwards.
#pragma once

#include "preprocessed_text.h"
#include "statements.h"

#include <clang-c/Index.h>
#include <set>
#include <string>
#include <vector>

enum class keep { none, forward, whole };

struct needed_text {
    // Per statement: dropped, kept without its struct and union bodies (only
    // the tags and typedefs it declares), or kept whole.
    std::vector<keep> statements;
    // Per statement: "struct S" / "union S" declarations to write before it, for
    // tags whose first declaration is a statement not otherwise kept.
    std::vector<std::set<std::string>> forward_tags;
};

needed_text find_needed(CXTranslationUnit unit, const preprocessed_text& text,
                        const std::vector<statement>& statements);
