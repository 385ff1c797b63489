#include "command_line.h"

#include "contract/unit_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

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

// Types GCC's preprocessed system headers name and clang 14 does not know,
// with the equivalent type of this target.
const char* const gcc_float_types[][2] = {{"_Float32", "float"},
                                          {"_Float64", "double"},
                                          {"_Float32x", "double"},
                                          {"_Float64x", "long double"},
                                          {"_Float128", "__float128"}};

// The two-argument form of GCC's malloc attribute (`__malloc__ (fclose, 1)`),
// reduced to the plain form clang 14 knows. The deallocator it names is read
// from the text by the declaration builder.
const char* const gcc_malloc_attribute = "-D__malloc__(...)=__malloc__";

// GCC's dialect, read in every mode: C2x attributes in earlier standards
// (`[[__maybe_unused__]]` in gnu17), and GCC builtins clang does not know
// (`__builtin_mul_overflow_p`), which clang then declares implicitly instead of
// failing the unit.
const char* const gcc_dialect[] = {"-fdouble-square-bracket-attributes",
                                   "-Wno-error=implicit-function-declaration"};

bool is_identifier_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when `text` declares `name` itself: the name as a whole word followed
// by ";" (a typedef's declarator; GCC's keyword never ends a declaration).
bool declares(const std::string& text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        std::size_t after = at + name.size();
        if (at > 0 && is_identifier_char(text[at - 1])) continue;
        if (after < text.size() && is_identifier_char(text[after])) continue;
        while (after < text.size() && (text[after] == ' ' || text[after] == '\t'))
            ++after;
        if (after < text.size() && text[after] == ';') return true;
    }
    return false;
}

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
    return is_preprocessed_source(path) || ends_with(path, ".i") || looks_preprocessed(path);
}

std::string batch_dump_name(const std::string& input) {
    return dump_file_of(stem_of_input(input));
}

std::vector<std::string> float_type_definitions(const std::string& preprocessed_path) {
    std::ifstream in(preprocessed_path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> definitions;
    for (const auto& type : gcc_float_types)
        if (!declares(text, type[0]))
            definitions.push_back(std::string("-D") + type[0] + "=" + type[1]);
    return definitions;
}

std::vector<std::string> compiler_include_dirs(const std::string& compiler) {
    std::vector<std::string> dirs;
    if (compiler.empty() || compiler.find('\'') != std::string::npos) return dirs;
    std::string command = "'" + compiler + "' -xc -E -v /dev/null 2>&1 >/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return dirs;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    if (::pclose(pipe) != 0) return dirs;
    std::istringstream lines(output);
    std::string line;
    bool listing = false;
    while (std::getline(lines, line)) {
        if (line.rfind("#include <...> search starts here:", 0) == 0) {
            listing = true;
        } else if (line.rfind("End of search list.", 0) == 0) {
            break;
        } else if (listing && !line.empty() && line[0] == ' ') {
            std::string dir = line.substr(line.find_first_not_of(' '));
            std::size_t note = dir.find(" (");
            if (note != std::string::npos) dir.erase(note);
            dirs.push_back(dir);
        }
    }
    return dirs;
}

void use_compiler_include_dirs(command_line& invocation) {
    for (const std::string& flag : invocation.flags)
        if (flag == "-nostdinc") return;
    std::string compiler = invocation.compiler;
    const char* cc = std::getenv("CC");
    if (compiler.empty()) compiler = cc != nullptr && *cc != '\0' ? cc : "cc";
    std::vector<std::string> dirs = compiler_include_dirs(compiler);
    if (dirs.empty()) return;
    invocation.flags.push_back("-nostdinc");
    for (const std::string& dir : dirs) {
        invocation.flags.push_back("-isystem");
        invocation.flags.push_back(dir);
    }
}

command_line parse_command_line(const std::vector<std::string>& arguments) {
    command_line invocation;
    std::vector<std::string>& flags = invocation.flags;
    if (!arguments.empty() && !arguments[0].empty() && arguments[0][0] != '-' &&
        !is_c_source(arguments[0]))
        invocation.compiler = arguments[0];
    for (std::size_t i = invocation.compiler.empty() ? 0 : 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--batch") {
            invocation.batch = true;
            continue;
        }
        if (argument == "--unit") {
            if (i + 3 >= arguments.size()) {
                invocation.error = "--unit takes three files: the unit, its dump, its log";
                return invocation;
            }
            invocation.units.push_back(
                {arguments[i + 1], arguments[i + 2], arguments[i + 3], "", ""});
            invocation.inputs.push_back(arguments[i + 1]);
            i += 3;
            continue;
        }
        if (argument == "--bound") {
            unit_paths* unit = nullptr;
            for (unit_paths& u : invocation.units)
                if (i + 1 < arguments.size() && u.input == arguments[i + 1]) unit = &u;
            if (i + 3 >= arguments.size() || unit == nullptr) {
                invocation.error = "--bound takes a unit given with --unit before it, the file "
                                   "of its lower bound and the file of the bound's messages";
                return invocation;
            }
            unit->bound = arguments[i + 2];
            unit->bound_log = arguments[i + 3];
            i += 3;
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
    else if (!invocation.units.empty() &&
             (invocation.batch || invocation.inputs.size() > invocation.units.size()))
        invocation.error = "--unit lists every unit with its files; no other source nor --batch";
    else if (invocation.inputs.size() > 1 && !invocation.batch && invocation.units.empty())
        invocation.error = "more than one source file (" + invocation.inputs[0] + ", " +
                           invocation.inputs[1] + "); use --batch to write one dump per unit";
    return invocation;
}

std::vector<std::string> clang_arguments(const command_line& invocation, bool preprocessed,
                                         const std::string& unit) {
    std::vector<std::string> arguments;
    if (preprocessed) {
        for (const std::string& flag : invocation.flags)
            if (matters_when_preprocessed(flag)) arguments.push_back(flag);
        if (!unit.empty()) {
            std::vector<std::string> floats = float_type_definitions(unit);
            arguments.insert(arguments.end(), floats.begin(), floats.end());
        }
        arguments.push_back(gcc_malloc_attribute);
        arguments.push_back("-x");
        arguments.push_back("c");
    } else {
        arguments = invocation.flags;
    }
    arguments.insert(arguments.end(), std::begin(gcc_dialect), std::end(gcc_dialect));
    arguments.push_back("-w");
    arguments.push_back("-ferror-limit=0");
    return arguments;
}
