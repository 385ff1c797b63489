// The single writer of fact lines: verb, subject and object separated by one
// blank, one fact per line.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

// Where output_line writes facts and warnings (standard output and standard
// error until set otherwise).
void set_fact_streams(std::ostream& facts, std::ostream& warnings);

// Writes "verb subject object" unless a field is empty or subject equals
// object. Subject and object pass through replace_filename. A subject or object
// holding white space would split into more fields for the reader: such a fact
// is dropped with a warning on the warning stream (once per distinct text).
void output_line(std::string_view verb, std::string_view subject, std::string_view object);

// Rewrites every ".c" that ends a file name (at the end of the text, or before
// ":" or "#") to ".cpp.c", unless the text already holds ".cpp.".
std::string replace_filename(std::string_view s);

// Flushes the fact stream and forgets the warnings given.
void finish_output();
