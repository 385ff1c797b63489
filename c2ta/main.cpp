// c2ta [compiler flags] unit.c > unit.ta
// c2ta [compiler flags] --batch unit.c... (writes unit.ta beside each unit)
// c2ta [compiler flags] --unit unit.c unit.ta unit.log ... (files named per unit)
//      [--bound unit.c unit.bound.c unit.bound.log] (its lower bound too)
// Writes the abstract semantic graph of a C translation unit as a TA dump.
#include "command_line.h"
#include "dump_file.h"
#include "ta_graph.h"
#include "translation_unit.h"
#include "unit_bound.h"
#include "unit_builder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// The file standard output is open on, as the kernel names it.
std::string standard_output_name() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/fd/1", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : "unknown file";
}

// Parses and builds one unit; false (with diagnostics on standard error) when
// libclang cannot parse it. `also`, when given, is handed the parse of a unit
// whose dump was built.
bool build(const command_line& invocation, const std::string& input, ta_graph& graph,
           std::ostream& errors = std::cerr,
           const std::function<void(CXTranslationUnit)>& also = nullptr) {
    bool preprocessed = is_preprocessed_unit(input);
    parsed_unit parsed(input, clang_arguments(invocation, preprocessed, input), errors);
    if (parsed.get() == nullptr) return false;
    build_unit_dump(graph, parsed.get(), input, preprocessed, invocation.flags);
    if (also) also(parsed.get());
    return true;
}

// Writes the lower bound of `unit` from its parse, then the bound's messages to
// its own log: a unit with a bound log and no bound has none.
void write_unit_bound(const unit_paths& unit, CXTranslationUnit parsed,
                      const warning_needs& warnings) {
    std::ostringstream messages;
    std::ifstream in(unit.input, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    preprocessed_text text(content.str());
    std::string unbounded =
        in ? unbounded_text_error(text, unit.input) : "cannot read " + unit.input;
    if (!unbounded.empty())
        messages << "lowerbound: " << unbounded << "\n";
    else if (!write_text_file(unit_bound(parsed, text, warnings), unit.bound, messages))
        std::remove(unit.bound.c_str());
    write_text_file(messages.str(), unit.bound_log, std::cerr);
}

int run_single(const command_line& invocation) {
    ta_graph graph;
    if (!build(invocation, invocation.inputs.front(), graph)) return 1;
    errno = 0;
    graph.write(std::cout);
    std::cout.flush();
    if (!std::cout) {
        int reason = errno;
        std::cerr << "c2ta: cannot write the dump of " << invocation.inputs.front()
                  << " to standard output (" << standard_output_name() << ")";
        if (reason != 0) std::cerr << ": " << std::strerror(reason);
        std::cerr << "\n";
        return 4;
    }
    return 0;
}

// One process for many units spares libclang's start-up for each of them.
int run_batch(const command_line& invocation) {
    int status = 0;
    for (const std::string& input : invocation.inputs) {
        ta_graph graph;
        std::string output = batch_dump_name(input);
        if (!build(invocation, input, graph) || !write_dump_file(graph, output, std::cerr))
            status = 1;
    }
    return status;
}

// Each unit's dump and messages go to its own files; its log is written once
// the unit is done, whether it failed or not, so a unit with neither a dump nor
// a log was never finished (the process died on it or before it).
int run_units(const command_line& invocation, const warning_needs& warnings) {
    int status = 0;
    for (const unit_paths& unit : invocation.units) {
        std::ostringstream messages;
        ta_graph graph;
        auto bound = [&](CXTranslationUnit parsed) {
            if (!unit.bound.empty()) write_unit_bound(unit, parsed, warnings);
        };
        bool built = build(invocation, unit.input, graph, messages, bound) &&
                     write_dump_file(graph, unit.dump, messages);
        if (!built) {
            std::remove(unit.dump.c_str());
            status = 1;
        }
        if (!write_text_file(messages.str(), unit.log, std::cerr)) status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    command_line invocation = parse_command_line(arguments);
    if (!invocation.error.empty()) {
        std::cerr << "c2ta: " << invocation.error
                  << "\nusage: c2ta [compiler flags] unit.c > unit.ta\n"
                     "       c2ta [compiler flags] --batch unit.c... (each dump to unit.ta)\n"
                     "       c2ta [compiler flags] --unit unit.c unit.ta unit.log ...\n"
                     "            [--bound unit.c unit.bound.c unit.bound.log] ...\n";
        return 2;
    }
    for (const std::string& input : invocation.inputs)
        if (!is_preprocessed_unit(input)) {
            use_compiler_include_dirs(invocation);
            break;
        }
    if (!invocation.units.empty()) return run_units(invocation, warnings_in(arguments));
    return invocation.batch ? run_batch(invocation) : run_single(invocation);
}
