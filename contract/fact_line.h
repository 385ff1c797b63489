// One line of a fact file: a kind (a decimal integer, see fact_kind.h), a subject
// and an object, separated by single blanks and ended by a newline. Subject and
// object hold no white space: the format has no escape.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

struct fact {
    int kind = 0;
    std::string subject;
    std::string object;
};

// True when `word` can stand as the subject or object of a fact: it is not
// empty and holds no white space.
bool fits_fact_line(std::string_view word);

// Writes the line "kind subject object" and its newline. The caller makes sure
// that subject and object fit (fits_fact_line).
void write_fact_line(std::ostream& out, int kind, std::string_view subject,
                     std::string_view object);

// Reads a line as the restructurer does: an integer followed by at least two
// words (runs of non-white-space characters), separated by any white space;
// text after the second word is ignored. False when the line is not a fact.
bool read_fact_line(const std::string& line, fact& into);
