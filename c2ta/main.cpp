// c2ta [compiler flags] unit.c > unit.ta
// Writes the abstract semantic graph of one C translation unit as a TA dump.
#include "command_line.h"
#include "ta_graph.h"
#include "translation_unit.h"
#include "unit_builder.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    Invocation invocation = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!invocation.error.empty()) {
        std::cerr << "c2ta: " << invocation.error << "\nusage: c2ta [compiler flags] unit.c > unit.ta\n";
        return 2;
    }
    ParsedUnit parsed(invocation, std::cerr);
    if (parsed.get() == nullptr)
        return 1;
    TaGraph graph;
    build_unit_dump(graph, parsed.get(), invocation.input, invocation.preprocessed);
    graph.write(std::cout);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "c2ta: cannot write the dump\n";
        return 1;
    }
    return 0;
}
