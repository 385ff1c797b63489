// Times read_graphs (load, clean, merge) over 100, 1,000 and 5,000 synthetic
// fact files.
#include "fact_generator.h"
#include "header/graph.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
void measure(int units) {
    char pattern[] = "/tmp/restructurer_bench_XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const generated_facts facts = generate_fact_files(dir, units);

    graph::include_dirs = {dir + "/inc"};
    graph::user_modules = {dir + "/inc", dir + "/src"};
    graph g;
    const auto start = std::chrono::steady_clock::now();
    g.read_graphs(facts.fact_files);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%5d fact files %8ld facts: load-clean-merge %.3f s (%.2f us per fact), "
                "merged graph %zu nodes %zu edges\n",
                units, facts.facts, seconds, 1e6 * seconds / facts.facts, g.nodes.size(),
                g.edges.size());
    std::system(("rm -rf '" + dir + "'").c_str());
}
} // namespace

int main() {
    for (int units : {100, 1000, 5000})
        measure(units);
    return 0;
}
