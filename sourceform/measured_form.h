// Reading a file of the measured form (a numbered header or a rewritten source):
// the new headers it includes and the program units it holds, each with the
// original file and line its line marker names.
#pragma once

#include <string>
#include <vector>

struct measured_unit {
    std::string file; // as the marker names it
    int line = 0;
    std::vector<std::string> text; // the unit's lines after the marker
};

struct measured_file {
    std::vector<std::string> includes; // quoted include names, in order
    std::vector<measured_unit> units;
};

measured_file read_measured_text(const std::string& text);
measured_file read_measured_file(const std::string& path);

// The forward declarations ("struct item;") the restructurer put before a unit's
// own text: the leading lines of that form that differ from the original's first line.
std::vector<std::string> forward_declarations(const measured_unit& unit,
                                              const std::string& original_first_line);
