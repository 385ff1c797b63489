#include "build_compiles.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

std::string absolute_in(const std::string& path, const std::string& dir) {
    return (fs::path(path).is_absolute() ? fs::path(path) : fs::path(dir) / path)
        .lexically_normal()
        .string();
}

// `path` relative to `root`, or "" when it lies outside.
std::string inside(const std::string& path, const std::string& root) {
    fs::path rel = fs::path(path).lexically_relative(root);
    if (rel.empty() || *rel.begin() == "..") return "";
    return rel.string();
}

} // namespace

std::vector<std::string> compiled_sources(const build_step& step) {
    std::vector<std::string> sources;
    for (size_t i = 1; i < step.argv.size(); ++i) {
        const std::string& word = step.argv[i];
        if (word == "-o") {
            ++i;
            continue;
        }
        if (word.empty() || word[0] == '-' || fs::path(word).extension() != ".c") continue;
        sources.push_back(absolute_in(word, step.cwd));
    }
    return sources;
}

std::vector<std::optional<unit_compile>> compiles_in_build(const std::vector<build_step>& steps,
                                                           const std::string& build_root,
                                                           const std::vector<compile_unit>& units,
                                                           const std::string& tree) {
    // The finished single-source compile steps, by source inside the build;
    // after them, the successful steps that compile and link one source at once
    // (`cc -o xxd xxd.c`): the source compiled, and its time is that of the
    // step, link included. A failed one tells nothing of the compile.
    std::map<std::string, std::vector<const build_step*>> by_source;
    for (bool linked : {false, true})
        for (const build_step& step : steps) {
            const bool kind_fits = linked ? step.what == build_step::kind::link && step.status == 0
                                          : step.what == build_step::kind::compile;
            if (!kind_fits || !step.finished) continue;
            std::vector<std::string> sources = compiled_sources(step);
            if (sources.size() != 1) continue;
            std::string rel = inside(sources.front(), build_root);
            if (!rel.empty()) by_source[rel].push_back(&step);
        }
    std::vector<std::optional<unit_compile>> found(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        auto candidates = by_source.find(inside(units[i].source, tree));
        if (candidates == by_source.end()) continue;
        const build_step* chosen = candidates->second.front();
        std::string object = inside(units[i].object, tree);
        for (const build_step* step : candidates->second)
            if (!object.empty() && !step->output.empty() &&
                inside(absolute_in(step->output, step->cwd), build_root) == object) {
                chosen = step;
                break;
            }
        found[i] = unit_compile{chosen->status == 0, chosen->seconds};
    }
    return found;
}
