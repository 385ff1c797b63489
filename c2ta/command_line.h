// The command line of c2ta: the flags of a compile command and one C source
// file, either an ordinary source or a preprocessed unit (<unit>.cpp.c, .i).
#pragma once

#include <string>
#include <vector>

struct Invocation {
    std::string input;
    bool preprocessed = false;
    // Arguments handed to libclang: the flags that shape preprocessing and the
    // language (-I, -D, -U, -include, -std, ...); the rest of a compile command
    // (-c, -o, warnings, code generation, linking) is dropped.
    std::vector<std::string> clang_arguments;
    std::string error; // non-empty when the command line is unusable
};

Invocation parse_command_line(const std::vector<std::string> &arguments);

// True when the file starts like preprocessor output: a line marker.
bool looks_preprocessed(const std::string &path);
