#include "lower_bound_step.h"

#include "header_coupling.h"
#include "job_pool.h"
#include "process.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

std::vector<std::string> flags_for_preprocessed(const std::vector<std::string>& flags) {
    std::vector<std::string> kept;
    for (size_t i = 0; i < flags.size(); ++i) {
        const std::string& flag = flags[i];
        bool separate = flag == "-include" || flag == "-imacros";
        if (separate) {
            ++i;
            continue;
        }
        if (flag.rfind("-include", 0) == 0 || flag.rfind("-imacros", 0) == 0) continue;
        kept.push_back(flag);
    }
    return kept;
}

bool takes_preprocessed_text(const std::string& compiler, const std::string& directory) {
    process_result probe = run_process(
        {{compiler, "-fpreprocessed", "-fsyntax-only", "-x", "c", "/dev/null"}, directory, "", ""});
    return probe.ok();
}

std::vector<unit_bound> measure_lower_bounds(const std::vector<compile_unit>& units,
                                             const std::vector<bool>& ready,
                                             const std::string& lowerbound, const std::string& dir,
                                             const std::string& tree, int jobs, progress& shown) {
    std::vector<unit_bound> bounds(units.size());
    auto file = [&](size_t i, const std::string& suffix) {
        return dir + "/" + std::to_string(i) + suffix;
    };
    std::vector<process_request> write;
    std::vector<size_t> written;
    for (size_t i = 0; i < units.size(); ++i) {
        if (!ready[i] || !fs::exists(units[i].preprocessed())) continue;
        std::vector<std::string> argv = {lowerbound};
        argv.insert(argv.end(), units[i].flags.begin(), units[i].flags.end());
        argv.push_back(units[i].preprocessed());
        write.push_back({argv, units[i].directory, file(i, ".bound.c"), file(i, ".bound.log")});
        written.push_back(i);
    }
    std::vector<process_result> results = run_all(write, jobs, shown);

    std::vector<process_request> check;
    std::vector<size_t> checked;
    std::map<std::string, bool> takes_markers; // per compiler, whether it has -fpreprocessed
    for (size_t k = 0; k < results.size(); ++k) {
        size_t i = written[k];
        bounds[i].log = file(i, ".bound.log");
        if (!results[k].ok()) continue;
        bounds[i].computed = true;
        std::vector<std::string> argv = {units[i].compiler};
        std::vector<std::string> flags = flags_for_preprocessed(units[i].flags);
        argv.insert(argv.end(), flags.begin(), flags.end());
        // The bound keeps the preprocessor's line markers, and with them which
        // declarations come from system headers: it compiles with the warnings
        // of the original build. GCC takes those markers under -pedantic-errors
        // only when told that the text is preprocessed.
        auto known = takes_markers.find(units[i].compiler);
        if (known == takes_markers.end())
            known = takes_markers
                        .emplace(units[i].compiler,
                                 takes_preprocessed_text(units[i].compiler, units[i].directory))
                        .first;
        if (known->second) argv.push_back("-fpreprocessed");
        std::vector<std::string> compile = argv, measure = argv;
        compile.insert(compile.end(), {"-fsyntax-only", file(i, ".bound.c")});
        measure.insert(measure.end(), {"-E", "-P", file(i, ".bound.c")});
        check.push_back({compile, units[i].directory, "", file(i, ".bound-compile.log")});
        check.push_back({measure, units[i].directory, file(i, ".bound.i"), ""});
        checked.push_back(i);
    }
    results = run_all(check, jobs, shown);
    for (size_t k = 0; k < checked.size(); ++k) {
        unit_bound& b = bounds[checked[k]];
        b.compiles = results[2 * k].ok() && results[2 * k + 1].ok();
        if (!b.compiles) {
            b.log = file(checked[k], ".bound-compile.log");
            continue;
        }
        b.size = measure_file(file(checked[k], ".bound.i"));
        b.headers = headers_declaring_in(file(checked[k], ".bound.c"), tree);
    }
    return bounds;
}
