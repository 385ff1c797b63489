// The lower bound of every unit: the smallest preprocessed text that still
// compiles to the same object (the unit's own code and only the header
// declarations it needs), written by the lowerbound program from the unit's
// <unit>.cpp.c, compiled with the unit's own flags to show that it does, and
// counted the way the texts before and after restructuring are.
#pragma once

#include "compile_unit.h"
#include "progress.h"
#include "text_measure.h"

#include <set>
#include <string>
#include <vector>

struct unit_bound {
    bool computed = false;         // the lowerbound program wrote a text
    bool compiles = false;         // and it compiled with the unit's flags
    text_size size;                // preprocessed with -E -P, like the before and after texts
    std::string log;               // the log that tells why not, when it failed
    std::set<std::string> headers; // project headers whose declarations it holds
};

// `ready[i]`: unit i has its preprocessed text. Files go into `dir` as
// <i>.bound.c, <i>.bound.i and their logs.
std::vector<unit_bound> measure_lower_bounds(const std::vector<compile_unit>& units,
                                             const std::vector<bool>& ready,
                                             const std::string& lowerbound, const std::string& dir,
                                             const std::string& tree, int jobs, progress& shown);

// The unit's flags for compiling an already preprocessed text: without the
// options that would read a header a second time (-include, -imacros).
std::vector<std::string> flags_for_preprocessed(const std::vector<std::string>& flags);

// Whether `compiler` takes -fpreprocessed: GCC does, and compiles its own -E
// output so (as -save-temps does), line markers and all, even under
// -pedantic-errors, which rejects the markers in a plain source ("style of line
// directive is a GCC extension"). Clang has no such option and takes the
// markers anyway.
bool takes_preprocessed_text(const std::string& compiler, const std::string& directory);
