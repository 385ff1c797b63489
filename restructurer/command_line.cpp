#include "command_line.h"

#include "codegen/output_file.h"
#include "graph/phase_times.h"
#include "header/graph.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace {
bool has_prefix_and_text(const std::string& arg, const char* prefix) {
    return arg.size() > 2 && arg.compare(0, 2, prefix) == 0;
}
} // namespace

std::vector<std::string> scan_arguments(int argc, const char* const* argv, graph& g) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // The rules are not exclusive: each argument is tested against all.
        if (has_prefix_and_text(arg, "-I")) graph::include_dirs.insert(arg.substr(2));
        if (has_prefix_and_text(arg, "-M")) graph::user_modules.insert(arg.substr(2));
        if (arg == "-c") g.reduce_only = true;
        if (arg == "-g") g.generate_facts = true;
        if (arg == "-x") g.with_inclusions = true;
        if (arg.empty() || arg[0] != '-') files.push_back(arg);
    }
    return files;
}

int run_restructurer(int argc, const char* const* argv) {
    graph g;
    if (argc <= 1) return 0;
    g.reduce_only = g.generate_facts = g.with_inclusions = false;
    const std::vector<std::string> files = scan_arguments(argc, argv, g);
    {
        phase_timer timer("loading (all files)");
        g.read_graphs(files);
    }
    if (!g.reduce_only) {
        {
            phase_timer timer("leaves");
            g.construct_leaves();
            g.join_typedef_statements();
        }
        {
            phase_timer timer("partitioning");
            g.partitioning();
        }
        {
            phase_timer timer("compressing");
            g.compressing_graph();
        }
        {
            phase_timer timer("codegen (all)");
            g.codegen();
        }
    }
    print_phase_times();
    // Messages and facts on standard output, and every generated file, must
    // be whole: a run that lost a write fails.
    std::cout.flush();
    if (!std::cout) {
        char name[4096];
        ssize_t n = ::readlink("/proc/self/fd/1", name, sizeof name - 1);
        std::cerr << "Error: cannot write standard output ("
                  << (n > 0 ? std::string(name, static_cast<std::size_t>(n)) : "unknown file")
                  << ")\n";
        return 4;
    }
    return output_file::any_failed() ? 4 : 0;
}
