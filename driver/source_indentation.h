// cc -E writes each line's indentation as blanks, one for every character before
// its first token, so a tab becomes a single blank. The rewritten sources are cut
// from that text, and a compiler that judges layout (-Wmisleading-indentation,
// part of -Wall, reads tabs as reaching the next tab stop) would see another
// layout than the original's: a unit that built with -Werror would fail. Every
// line whose blanks stand for as many characters of white space in its original
// line, followed by the same character, gets that white space back. Only white
// space changes, byte for byte in place, so every column stays where it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The lines of a file named by a line marker (resolved as the preprocessor
// did, from its working directory), or null when it cannot be read.
using source_lines = std::function<const std::vector<std::string>*(const std::string& name)>;

// `text` (cc -E output with its line markers) with the original indentation
// put back where the original lines agree.
std::string restore_indentation(const std::string& text, const source_lines& lines_of);

// The same on a file in place, reading the originals from the working
// directory; false when it cannot be read or written.
bool restore_indentation_in_file(const std::string& path);
