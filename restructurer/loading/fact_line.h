// Splitting one line of a fact file into its kind and its two words.
#pragma once

#include <string>

struct fact_line {
    int kind = 0;
    std::string subject;
    std::string object;
};

// True when `line` is an integer followed by at least two words (runs of
// non-blank characters); text after the second word is ignored.
bool split_fact_line(const std::string& line, fact_line& fact);

// The integer at the start of `text` (after blanks), 0 when there is none.
int leading_int(const std::string& text);

// The line number of a position written line.column: the integer before the
// last "." (the whole text when it has none).
int line_of(const std::string& position);

// The preprocessed source of a fact file: the name up to its last "." (also a
// "." in a directory name: a.dir/unit gives a.cpp.c) followed by ".cpp.c".
std::string preprocessed_source(const std::string& fact_file);
