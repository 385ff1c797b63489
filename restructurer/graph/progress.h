// Progress lines, shown when the switch "progress" is on: one line on standard
// output, and one overwritten status line on standard error.
#pragma once

#include <string>

// "progress:" + text on standard output, then the same as a status line on
// standard error (80 blanks and "\r" erase the previous one).
void announce(const std::string& text);
// Only the standard-output line.
void announce_on_stdout(const std::string& text);
