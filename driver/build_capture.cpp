#include "build_capture.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

namespace fs = std::filesystem;

namespace {

bool is_compiler_driver(const std::string& program) {
    static const std::regex driver(
        R"((cc|c89|c99|gcc|clang)(-[0-9.]+)?|.*-(gcc|clang|cc)(-[0-9.]+)?)");
    return std::regex_match(fs::path(program).filename().string(), driver);
}

bool is_archiver(const std::string& program) {
    static const std::regex archiver(R"((.*-)?(gcc-)?(ar|ranlib)(-[0-9.]+)?)");
    return std::regex_match(fs::path(program).filename().string(), archiver);
}

bool has_word(const std::vector<std::string>& argv, const std::string& word) {
    for (size_t i = 1; i < argv.size(); ++i)
        if (argv[i] == word) return true;
    return false;
}

std::string output_of(const std::vector<std::string>& argv) {
    for (size_t i = 1; i < argv.size(); ++i) {
        if (argv[i] == "-o" && i + 1 < argv.size()) return argv[i + 1];
        if (argv[i].rfind("-o", 0) == 0 && argv[i].size() > 2) return argv[i].substr(2);
    }
    return "";
}

// The archive an "ar" call writes: the first word after the operation letters.
std::string archive_of(const std::vector<std::string>& argv) {
    for (size_t i = 1; i < argv.size(); ++i)
        if (argv[i].size() > 2 && argv[i][0] != '-' && fs::path(argv[i]).extension() == ".a")
            return argv[i];
    return "";
}

// Seconds since the epoch of a bear timestamp ("2026-12-07T17:05:51.639416Z"),
// or a negative number when it is not one.
double timestamp_seconds(const std::string& text) {
    std::tm when{};
    int year = 0, month = 0;
    double second = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%lf", &year, &month, &when.tm_mday, &when.tm_hour,
                    &when.tm_min, &second) != 6)
        return -1;
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    return static_cast<double>(timegm(&when)) + second;
}

} // namespace

bool classify_step(const std::vector<std::string>& argv, build_step& step) {
    if (argv.empty()) return false;
    step.argv = argv;
    if (is_archiver(argv[0])) {
        step.what = build_step::kind::archive;
        step.output = archive_of(argv);
        return true;
    }
    if (!is_compiler_driver(argv[0])) return false;
    if (has_word(argv, "-E") || has_word(argv, "-S") || has_word(argv, "-M") ||
        has_word(argv, "-MM") || has_word(argv, "--version") || has_word(argv, "-v") ||
        argv.size() == 1)
        return false;
    step.output = output_of(argv);
    step.what = has_word(argv, "-c") ? build_step::kind::compile : build_step::kind::link;
    // A configure test links conftest programs; a link without any object or
    // source of the project produces nothing to compare.
    return step.what == build_step::kind::compile || !step.output.empty();
}

std::vector<build_step> read_build_steps(const std::string& events_path) {
    std::vector<build_step> steps;
    std::map<std::string, std::pair<size_t, double>> started; // rid -> step, start time
    std::ifstream in(events_path);
    std::string line;
    while (std::getline(in, line)) {
        nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_discarded() || !event.is_object()) continue;
        const std::string rid = event.value("rid", "");
        const double at = event.contains("timestamp") && event["timestamp"].is_string()
                              ? timestamp_seconds(event["timestamp"].get<std::string>())
                              : -1;
        if (event.contains("terminated")) {
            auto found = started.find(rid);
            if (found == started.end() || !event["terminated"].is_object()) continue;
            build_step& step = steps[found->second.first];
            const auto& status = event["terminated"]["status"];
            step.finished = true;
            step.status = status.is_string()   ? std::atoi(status.get<std::string>().c_str())
                          : status.is_number() ? status.get<int>()
                                               : -1;
            if (at >= 0 && found->second.second >= 0) step.seconds = at - found->second.second;
            continue;
        }
        if (!event.contains("started")) continue;
        const auto& execution = event["started"]["execution"];
        if (!execution.is_object() || !execution.contains("arguments")) continue;
        std::vector<std::string> argv;
        for (const auto& word : execution["arguments"])
            if (word.is_string()) argv.push_back(word.get<std::string>());
        build_step step;
        if (!classify_step(argv, step)) continue;
        if (execution.contains("executable") && execution["executable"].is_string())
            step.argv[0] = execution["executable"].get<std::string>();
        step.cwd = execution.value("working_dir", "");
        if (!rid.empty()) started[rid] = {steps.size(), at};
        steps.push_back(step);
    }
    return steps;
}

captured_build capture_build(const std::string& command, const std::string& dir,
                             const std::string& work, const std::string& name) {
    captured_build build;
    std::string events = work + "/" + name + "-events.json";
    std::string log = work + "/" + name + ".log";
    build.compile_db = work + "/" + name + "-compile_commands.json";
    build.result = run_process(
        {{"bear", "intercept", "--output", events, "--", "/bin/sh", "-c", command}, dir, log, log});
    run_process({{"bear", "citnames", "--input", events, "--output", build.compile_db},
                 dir,
                 work + "/" + name + "-citnames.log",
                 work + "/" + name + "-citnames.log"});
    build.steps = read_build_steps(events);
    return build;
}
