#include "graph/phase_times.h"

#include "header/graph.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {
struct phase_total {
    std::string name;
    double cpu = 0;
    double wall = 0;
    long runs = 0;
};

// In the order the phases first ran; a run has a few dozen phases at most.
std::vector<phase_total>& totals() {
    static std::vector<phase_total> table;
    return table;
}

bool timing() {
    static const bool on = graph::config.accept("times");
    return on;
}
} // namespace

phase_timer::phase_timer(const char* name)
    : name_(name), cpu_start_(timing() ? std::clock() : 0),
      wall_start_(timing() ? std::chrono::steady_clock::now()
                           : std::chrono::steady_clock::time_point()) {}

phase_timer::~phase_timer() {
    if (!timing()) return;
    const double cpu = double(std::clock() - cpu_start_) / CLOCKS_PER_SEC;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start_).count();
    for (phase_total& total : totals()) {
        if (total.name != name_) continue;
        total.cpu += cpu;
        total.wall += wall;
        ++total.runs;
        return;
    }
    totals().push_back({name_, cpu, wall, 1});
}

void print_phase_times() {
    if (!timing()) return;
    std::fprintf(stderr, "times: %-32s %10s %10s %8s\n", "phase", "cpu_s", "wall_s", "runs");
    for (const phase_total& total : totals())
        std::fprintf(stderr, "times: %-32s %10.2f %10.2f %8ld\n", total.name.c_str(), total.cpu,
                     total.wall, total.runs);
}
