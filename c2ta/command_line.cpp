#include "command_line.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

bool starts_with(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Flags kept for libclang whose value may be attached or the next argument.
const char* const kept_with_value[] = {"-I",       "-D",      "-U",         "-include", "-imacros",
                                       "-isystem", "-iquote", "-idirafter", "--sysroot"};
// Flags dropped together with a separate value.
const char* const dropped_with_value[] = {"-o", "-MF",      "-MT",         "-MQ",
                                          "-x", "-Xlinker", "-Xassembler", "-Xpreprocessor",
                                          "-L", "-l",       "-aux-info",   "-arch"};
// Single flags kept as they are (by prefix): the language, and what changes the
// predefined macros that headers test (__OPTIMIZE__, __PIC__, _OPENMP,
// __STDC_HOSTED__, __SSE4_2__, ...).
const char* const kept_flags[] = {
    "-std=",         "-ansi",           "-nostdinc",      "-undef",      "-O",
    "-fsigned-char", "-funsigned-char", "-m32",           "-m64",        "-pthread",
    "--sysroot=",    "-fPIC",           "-fpic",          "-fPIE",       "-fpie",
    "-fopenmp",      "-ffreestanding",  "-fno-builtin",   "-ffast-math", "-fshort-enums",
    "-fshort-wchar", "-fms-extensions", "-fgnu89-inline", "-march=",     "-msse",
    "-mavx"};

// In a preprocessed unit only the language flags matter: its text already has
// every include and macro resolved.
bool matters_when_preprocessed(const std::string& flag) {
    return starts_with(flag, "-std=") || flag == "-ansi" || starts_with(flag, "-fsigned-char") ||
           starts_with(flag, "-funsigned-char") || flag == "-m32" || flag == "-m64";
}

bool is_c_source(const std::string& argument) {
    return ends_with(argument, ".c") || ends_with(argument, ".i") || ends_with(argument, ".h");
}

// Text that GCC's preprocessor left in system headers and clang 14 rejects:
// the _FloatN type names (spelled here with the equivalent types) and the
// two-argument form of the malloc attribute (reduced to the plain form).
const char* const gcc_compatibility[] = {"-D_Float32=float",       "-D_Float64=double",
                                         "-D_Float32x=double",     "-D_Float64x=long double",
                                         "-D_Float128=__float128", "-D__malloc__(...)=__malloc__"};

} // namespace

namespace {

bool looks_preprocessed(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[3] = {};
    in.read(head, sizeof head);
    return in.gcount() == 3 && head[0] == '#' && head[1] == ' ' && head[2] >= '0' && head[2] <= '9';
}

} // namespace

bool is_preprocessed_unit(const std::string& path) {
    return ends_with(path, ".cpp.c") || ends_with(path, ".i") || looks_preprocessed(path);
}

std::string batch_dump_name(const std::string& input) {
    for (const char* suffix : {".cpp.c", ".c", ".i", ".h"})
        if (ends_with(input, suffix))
            return input.substr(0, input.size() - std::strlen(suffix)) + ".ta";
    return input + ".ta";
}

Invocation parse_command_line(const std::vector<std::string>& arguments) {
    Invocation invocation;
    std::vector<std::string>& flags = invocation.flags;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--batch") {
            invocation.batch = true;
            continue;
        }
        bool handled = false;
        for (const char* flag : kept_with_value)
            if (argument == flag) {
                if (i + 1 < arguments.size()) {
                    flags.push_back(argument);
                    flags.push_back(arguments[++i]);
                }
                handled = true;
            }
        for (const char* flag : dropped_with_value)
            if (argument == flag) {
                ++i;
                handled = true;
            }
        if (handled) continue;
        if (argument.empty() || argument[0] != '-') {
            if (is_c_source(argument)) invocation.inputs.push_back(argument);
            continue;
        }
        for (const char* flag : kept_with_value)
            if (starts_with(argument, flag) && argument.size() > std::strlen(flag)) handled = true;
        for (const char* flag : kept_flags)
            if (starts_with(argument, flag)) handled = true;
        if (handled) flags.push_back(argument);
    }
    if (invocation.inputs.empty())
        invocation.error = "no C source file given";
    else if (invocation.inputs.size() > 1 && !invocation.batch)
        invocation.error = "more than one source file (" + invocation.inputs[0] + ", " +
                           invocation.inputs[1] + "); use --batch to write one dump per unit";
    return invocation;
}

std::vector<std::string> clang_arguments(const Invocation& invocation, bool preprocessed) {
    std::vector<std::string> arguments;
    if (preprocessed) {
        for (const std::string& flag : invocation.flags)
            if (matters_when_preprocessed(flag)) arguments.push_back(flag);
        arguments.insert(arguments.end(), std::begin(gcc_compatibility),
                         std::end(gcc_compatibility));
        arguments.push_back("-x");
        arguments.push_back("c");
    } else {
        arguments = invocation.flags;
    }
    arguments.push_back("-w");
    arguments.push_back("-ferror-limit=0");
    return arguments;
}
