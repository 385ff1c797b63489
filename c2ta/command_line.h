// The command line of c2ta: the flags of a compile command and the C source
// file of one unit, either an ordinary source or a preprocessed unit
// (<unit>.cpp.c, .i). With "--batch", several units that share the flags, each
// dump written beside its unit (src/a.c -> src/a.ta, a.cpp.c -> a.ta).
#pragma once

#include <string>
#include <vector>

struct Invocation {
    std::vector<std::string> inputs;
    bool batch = false;
    // The flags that shape preprocessing and the language (-I, -D, -U,
    // -include, -std, ...); the rest of a compile command (-c, -o, warnings,
    // code generation, linking) is dropped.
    std::vector<std::string> flags;
    std::string error; // non-empty when the command line is unusable
};

Invocation parse_command_line(const std::vector<std::string>& arguments);

// True when the unit is preprocessor output: named .cpp.c or .i, or starting
// with a line marker.
bool is_preprocessed_unit(const std::string& path);

// The arguments handed to libclang for one unit.
std::vector<std::string> clang_arguments(const Invocation& invocation, bool preprocessed);

// Where --batch writes the dump of a unit.
std::string batch_dump_name(const std::string& input);
