// The command line of c2ta: the flags of a compile command and the C source
// file of one unit, either an ordinary source or a preprocessed unit
// (<unit>.cpp.c, .i). With "--batch", several units that share the flags, each
// dump written beside its unit (src/a.c -> src/a.ta, a.cpp.c -> a.ta). With
// "--unit IN DUMP LOG" (repeated), several units that share the flags, each with
// its own dump and its own file for its messages; "--bound UNIT BOUND LOG" after
// a unit's "--unit" also writes its lower bound (see lowerbound/) from the same
// parse.
#pragma once

#include <string>
#include <vector>

// One unit of a "--unit" list: where its dump and its messages go.
struct unit_paths {
    std::string input;
    std::string dump;
    std::string log;
    // With "--bound": the unit's lower bound and the file of its messages.
    std::string bound;
    std::string bound_log;
};

struct command_line {
    std::vector<std::string> inputs; // every unit, "--unit" ones included
    bool batch = false;
    std::vector<unit_paths> units; // the "--unit" list
    // The flags that shape preprocessing and the language (-I, -D, -U,
    // -include, -std, ...); the rest of a compile command (-c, -o, warnings,
    // code generation, linking) is dropped.
    std::vector<std::string> flags;
    std::string error; // non-empty when the command line is unusable
    // The compiler when the command line starts with one (`gcc -c x.c`), else "".
    std::string compiler;
};

command_line parse_command_line(const std::vector<std::string>& arguments);

// True when the unit is preprocessor output: named .cpp.c or .i, or starting
// with a line marker.
bool is_preprocessed_unit(const std::string& path);

// The arguments handed to libclang for one unit.
// In preprocessed mode the unit's path lets the arguments fit its text.
std::vector<std::string> clang_arguments(const command_line& invocation, bool preprocessed,
                                         const std::string& unit = "");

// The directories `compiler` searches for <...> includes by itself, in its
// order (what `compiler -E -v` lists), or none when it cannot be run.
std::vector<std::string> compiler_include_dirs(const std::string& compiler);

// For parsing a source file as the compiler that preprocesses the unit would:
// "-nostdinc" and an "-isystem" for each of the compiler's own include
// directories, appended to the flags (nothing when the flags hold -nostdinc or
// the compiler cannot be asked). The compiler is the command line's, else $CC,
// else cc.
void use_compiler_include_dirs(command_line& invocation);

// The "-D" flags that spell the types GCC knows and clang 14 does not
// (_Float32, _Float64, _Float32x, _Float64x, _Float128) as equivalent types,
// for each of them that the preprocessed text does not declare itself as a
// typedef (clang's preprocessed glibc holds `typedef float _Float32;`).
std::vector<std::string> float_type_definitions(const std::string& preprocessed_path);

// Where --batch writes the dump of a unit.
std::string batch_dump_name(const std::string& input);
