// Reading the TA input: from the named file, or from standard input when no
// file is named.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// Exit status for an input that cannot be opened or read. Statuses 1 and 2
// belong to the parser's failures in standard-input mode.
constexpr int input_error_status = 3;

// Parses the input into the tables. With a file argument (only the first
// argument counts) syntax errors are reported, the broken records skipped, and
// the result is 0. Without one, std_in is read and a syntax error makes the
// result 1. An input that cannot be opened or read gives input_error_status.
int parsing(const std::vector<std::string>& args, std::istream& std_in, std::ostream& err);
