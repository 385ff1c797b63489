// The source form of a restructured tree: the same partition of declarations as
// the measured form (the restructurer's numbered headers and rewritten sources),
// written from the original files so that a C programmer can keep it: every
// declaration as it stands in its file with the comment above it, inside its
// original conditions; the macros its text uses; system headers included by
// name; new headers named after what they hold and included relatively; each
// source the original file with its project includes replaced.
#pragma once

#include <map>
#include <string>
#include <vector>

struct source_form_unit {
    std::string source;                    // absolute path of the C file in `tree`
    std::string facts;                     // its fact file
    std::string rewritten;                 // its measured-form source ("" when none)
    std::vector<std::string> include_dirs; // absolute -I directories, in order
    // Absolute directory its compile command runs in: the relative file names of
    // its facts (those of `#line` directives) are taken there.
    std::string directory;
};

struct source_form_input {
    std::string tree;                     // the analysed copy: original texts and the fact files
    std::string out;                      // a copy of the project that receives the source form
    std::vector<std::string> new_headers; // the measured form's headers (absolute)
    std::vector<source_form_unit> units;
};

struct source_form_result {
    // Paths relative to `out`, sorted: files added and sources changed.
    std::vector<std::string> added, changed;
    // Measured-form header (absolute) -> the source-form header (relative to out).
    std::map<std::string, std::string> names;
    // Project headers some unit included before that no file of the source form
    // includes (relative to tree), sorted.
    std::vector<std::string> no_longer_included;
    std::vector<std::string> problems; // files that could not be written
    // Changed source (relative to out) -> its lines, first to last, that hold the
    // declarations of project headers written into it (those only it uses), so
    // that a measure can count them as project-header text, as the measured
    // form's line markers do.
    std::map<std::string, std::pair<int, int>> header_text_lines;
};

source_form_result write_source_form(const source_form_input& input);
