// extractor_bench [BASE_SCALE] [--smoke]: times the extractor on synthetic TA
// dumps of 1x, 2x, 4x and 8x the base size and prints seconds and MB/s for
//   - reading plus bookkeeping (parse, classification, adjacency, scopes), and
//   - the whole extractor (facts written to /dev/null),
// with the time ratio between 8x and 1x input; then the whole extractor on
// chains of 4,000 to 32,000 nested scope files (each defining a function), with
// the time ratio between the deepest and the shallowest chain (about 8 when the
// time grows linearly with the depth). Each figure is the best of three
// runs, after one untimed warm-up run. --smoke runs one small dump once, to
// keep the program working.
#include "bookkeeping.h"
#include "driver.h"
#include "parsing.h"
#include "ta_generator.h"
#include "tables.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

double time_reading(const std::string& file) {
    std::istringstream no_input;
    std::ostringstream err;
    auto start = clock_type::now();
    if (parsing({file}, no_input, err) != 0) {
        std::cerr << "reading failed: " << err.str();
        std::exit(1);
    }
    bookkeeping_nodes();
    bookkeeping_edges();
    bookkeeping_scopes();
    double s = seconds_since(start);
    cleanup();
    return s;
}

double time_whole(const std::string& file, std::size_t& fact_bytes) {
    std::istringstream no_input;
    std::ostringstream err;
    std::ofstream sink("/dev/null");
    auto start = clock_type::now();
    int status = run_extractor({file}, no_input, sink, err);
    double s = seconds_since(start);
    if (status != 0 || !err.str().empty()) {
        std::cerr << "extractor failed: " << err.str();
        std::exit(1);
    }
    fact_bytes = static_cast<std::size_t>(sink.tellp());
    return s;
}

template <class F> double best_of(int runs, F f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, f());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = false;
    int base = 4;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--smoke")
            smoke = true;
        else
            base = std::max(1, std::atoi(argv[i]));
    }
    const std::vector<int> factors = smoke ? std::vector<int>{1} : std::vector<int>{1, 2, 4, 8};
    const int runs = smoke ? 1 : 3;
    if (smoke) base = 1;

    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("extractor_bench." + std::to_string(::getpid()));
    fs::create_directories(dir);

    std::printf("%-6s %10s %14s %10s %14s %10s\n", "input", "MB", "read+book s", "MB/s", "whole s",
                "MB/s");
    std::vector<double> read_times, whole_times;
    {
        // One untimed run first, so that every figure sees a process whose heap
        // is already mapped.
        std::string file = (dir / "warmup.ta").string();
        {
            std::ofstream out(file, std::ios::binary);
            generate_ta(out, base);
        }
        std::size_t ignored = 0;
        time_whole(file, ignored);
        fs::remove(file);
    }
    for (int factor : factors) {
        std::string file = (dir / ("dump" + std::to_string(factor) + ".ta")).string();
        {
            std::ofstream out(file, std::ios::binary);
            generate_ta(out, base * factor);
        }
        double mb = static_cast<double>(fs::file_size(file)) / 1e6;
        double r = best_of(runs, [&] { return time_reading(file); });
        std::size_t fact_bytes = 0;
        double w = best_of(runs, [&] { return time_whole(file, fact_bytes); });
        read_times.push_back(r);
        whole_times.push_back(w);
        std::printf("%-6s %10.1f %14.3f %10.1f %14.3f %10.1f\n",
                    (std::to_string(factor) + "x").c_str(), mb, r, mb / r, w, mb / w);
        fs::remove(file);
    }
    if (factors.size() > 1)
        std::printf("time ratio 8x/1x: read+book %.2f, whole %.2f\n",
                    read_times.back() / read_times.front(),
                    whole_times.back() / whole_times.front());

    const std::vector<int> depths =
        smoke ? std::vector<int>{100} : std::vector<int>{4000, 8000, 16000, 32000};
    std::printf("\n%-8s %14s\n", "nested", "whole s");
    std::vector<double> chain_times;
    for (int depth : depths) {
        std::string file = (dir / ("chain" + std::to_string(depth) + ".ta")).string();
        {
            std::ofstream out(file, std::ios::binary);
            generate_scope_chain_ta(out, depth);
        }
        std::size_t fact_bytes = 0;
        double w = best_of(runs, [&] { return time_whole(file, fact_bytes); });
        chain_times.push_back(w);
        std::printf("%-8d %14.3f\n", depth, w);
        fs::remove(file);
    }
    if (depths.size() > 1)
        std::printf("time ratio %d/%d nested scope files: %.2f\n", depths.back(), depths.front(),
                    chain_times.back() / chain_times.front());
    fs::remove_all(dir);
    return 0;
}
