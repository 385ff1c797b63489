// lowerbound [compiler flags] [--all] unit.cpp.c > unit.bound.c
// Writes the smallest preprocessed text of a unit that still compiles to the same
// object: the unit's own code and only the header declarations it needs.
#include "command_line.h"
#include "translation_unit.h"
#include "unit_bound.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments;
    bool all = false; // keep every statement: the unit's whole text, written the same way
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--all")
            all = true;
        else
            arguments.push_back(argv[i]);
    }
    command_line invocation = parse_command_line(arguments);
    if (invocation.error.empty() && invocation.inputs.size() != 1)
        invocation.error = "one preprocessed unit, please";
    if (!invocation.error.empty()) {
        std::cerr << "lowerbound: " << invocation.error
                  << "\nusage: lowerbound [compiler flags] [--all] unit.cpp.c > unit.bound.c\n";
        return 2;
    }
    const std::string& input = invocation.inputs.front();
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << "lowerbound: cannot read " << input << "\n";
        return 1;
    }
    std::stringstream content;
    content << in.rdbuf();
    preprocessed_text text(content.str());
    std::string unbounded = unbounded_text_error(text, input);
    if (!unbounded.empty()) {
        std::cerr << "lowerbound: " << unbounded << "\n";
        return 1;
    }
    // Parsed as c2ta parses it for the TA dump, which computes the same bound
    // from its own parse.
    parsed_unit parsed(input, clang_arguments(invocation, true, input), std::cerr);
    if (parsed.get() == nullptr) return 1;
    std::cout << unit_bound(parsed.get(), text, warnings_in(arguments), all);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "lowerbound: cannot write the text\n";
        return 1;
    }
    return 0;
}
