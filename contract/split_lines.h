// Lines of a preprocessed text that the preprocessor split in pieces.
//
// Where a line of a file that is not a system header uses a system header's
// macro (NULL, stderr, UCHAR_MAX), `cc -E` ends the line before the macro's
// expansion, writes the expansion after a line marker that names the same file
// and line and sets the system flag (3), and goes on with the rest of the line
// after a marker that names them again and clears the flag. `cc -E -P` writes
// the line whole. Every reader that keeps or counts the source's lines joins
// the pieces again; this is the one rule that tells them.
//
// A marker continues the line of text before it when it names that line's file
// and number, neither enters nor leaves an include (flags 1, 2) and flips the
// system flag of the marker before it. The next line of text is then a piece of
// that line unless either of them is a directive (#pragma lines of a _Pragma
// stand between markers of one line too, but keep the flag, and are never
// joined).
#pragma once

#include <string>

// Whether a line marker ("# 12 \"a.h\" 1 3 4") carries `flag` (1 enters an
// include, 2 returns from one, 3 marks a system header) after its file name.
bool line_marker_flag(const std::string& marker, int flag);

class split_lines {
  public:
    // A line marker: the file it names (spelled alike for alike files), the
    // number it gives the next line, whether it carries the system flag and
    // whether it enters or leaves an include. True when it continues the line of
    // text before it.
    bool marker(const std::string& file, long line, bool system, bool enters_or_leaves);
    // Any other line (text, blank or directive), in order: true when it is a
    // piece of the line of text before it, to be joined onto that line.
    bool text(const std::string& line);

  private:
    std::string file_;    // named by the last marker
    bool system_ = false; // and its system flag
    long next_ = 0;       // the number of the next line
    bool continues_ = false;
    // The last line of text: where it stands, and whether a piece may join it.
    std::string last_file_;
    long last_line_ = -1;
    bool joinable_ = false;
};
