#include "unit_jobs.h"

#include "fresh_file.h"
#include "process.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// make reads "$" in recipes as its own expansion.
std::string for_make(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '$') escaped += '$';
    }
    return escaped;
}

std::string step_line(const std::string& command, const std::string& log, size_t unit,
                      const std::string& step, const std::string& cleanup = "") {
    std::string on_failure =
        "{ " + cleanup + "echo 'failed " + std::to_string(unit) + " " + step + "'; exit 1; }";
    // The braces make the redirection cover the whole step, not only its last
    // command ("a > part && mv part f 2> log" would log mv's messages alone).
    return "\t@" + for_make("{ " + command + "; } 2> " + shell_quote(log) + " || " + on_failure) +
           "\n";
}

std::string unit_rules(const compile_unit& unit, size_t i, const toolchain& tools,
                       const std::string& dir) {
    std::string n = std::to_string(i);
    std::string log = dir + "/" + n + ".";
    std::string cd = "cd " + shell_quote(unit.directory) + " && ";
    std::vector<std::string> preprocess = {unit.compiler};
    preprocess.insert(preprocess.end(), unit.flags.begin(), unit.flags.end());
    // Comments are kept (-C) and then all but those that are code to the
    // compiler removed (see code_comments.h): the rewritten source is cut from
    // this text and must still build under -Wimplicit-fallthrough -Werror.
    preprocess.insert(preprocess.end(), {"-E", "-C", unit.source, "-o", unit.preprocessed()});
    std::vector<std::string> parse = {tools.c2ta};
    parse.insert(parse.end(), unit.flags.begin(), unit.flags.end());
    // c2ta reads the preprocessed text itself, so that its file names and
    // positions are exactly those of the line markers the restructurer follows.
    parse.push_back(unit.preprocessed());
    std::string dump_part = shell_quote(unit.dump() + ".part");
    std::string facts_part = shell_quote(unit.facts() + ".part");

    // Every file the steps write is made anew: the copy may hold links named
    // like them, and writing through a link would change the file it points at.
    std::string rules = n + ".ok:\n";
    rules += "\t@" +
             for_make(shell_join({"rm", "-f", unit.preprocessed(), unit.dump(), unit.facts(),
                                  unit.dump() + ".part", unit.facts() + ".part"})) +
             "\n";
    rules += step_line(cd + shell_join(preprocess) + " && " +
                           shell_join({tools.driver, "--keep-code-comments", unit.preprocessed()}),
                       log + "preprocess.log", i, "preprocess");
    rules += step_line(cd + shell_join(parse) + " > " + dump_part + " && mv " + dump_part + " " +
                           shell_quote(unit.dump()),
                       log + "parse.log", i, "parse", "rm -f " + dump_part + "; ");
    rules += step_line(shell_join({tools.extractor, unit.dump()}) + " > " + facts_part + " && mv " +
                           facts_part + " " + shell_quote(unit.facts()),
                       log + "extract.log", i, "extract", "rm -f " + facts_part + "; ");
    rules += "\t@touch $@ && echo 'done " + n + "'\n\n";
    return rules;
}

} // namespace

std::string units_makefile(const std::vector<compile_unit>& units, const toolchain& tools,
                           const std::string& dir) {
    std::string text = "# Per-unit steps of hdrslim: preprocess, TA dump, facts.\n";
    text += "# Each recipe prints 'done N' or 'failed N STEP' for the driver.\n\nall:";
    for (size_t i = 0; i < units.size(); ++i)
        text += " " + std::to_string(i) + ".ok";
    text += "\n\n";
    for (size_t i = 0; i < units.size(); ++i)
        text += unit_rules(units[i], i, tools, dir);
    text += ".PHONY: all\n";
    return text;
}

std::string log_excerpt(const std::string& path, int max_lines) {
    std::ifstream in(path);
    std::string line, text;
    int lines = 0;
    while (lines < max_lines && std::getline(in, line)) {
        if (line.empty()) continue;
        text += (lines ? "\n    " : "") + line;
        ++lines;
    }
    return text.empty() ? "(no message)" : text;
}

std::string hint_for(const std::string& step) {
    if (step == "preprocess")
        return "check the unit's flags in the compile commands, and that generated headers "
               "exist (let --build run the project's build first)";
    if (step == "parse")
        return "libclang could not parse the unit; missing defines or compiler-specific "
               "extensions are the usual cause (see the log)";
    if (step == "extract")
        return "the extractor rejected the TA dump: a fault of hdrslim; please report it "
               "with the dump";
    if (step == "compile")
        return "the restructured source does not compile: a fault of hdrslim; the log and "
               "the .cpp.new.c file show where";
    return "see the log";
}

std::vector<unit_failure> run_unit_jobs(const std::vector<compile_unit>& units,
                                        const toolchain& tools, const std::string& dir, int jobs,
                                        progress& shown, std::vector<bool>& ok) {
    std::vector<unit_failure> failures;
    ok.assign(units.size(), false);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!write_fresh(dir + "/units.mk", units_makefile(units, tools, dir)) ||
        !remove_entry(dir + "/make.log")) {
        failures.push_back({"(all units)", "make", "cannot write " + dir + "/units.mk",
                            "check the disk space", ""});
        return failures;
    }
    std::string command = "make -k -s -j " + std::to_string(jobs) + " -C " + shell_quote(dir) +
                          " -f units.mk 2> " + shell_quote(dir + "/make.log") + " < /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        failures.push_back({"(all units)", "make", "cannot run make", "install make", ""});
        return failures;
    }
    std::vector<bool> reported(units.size(), false);
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream words(line);
        std::string verb, step;
        size_t i = 0;
        if (!(words >> verb >> i) || i >= units.size()) continue;
        reported[i] = true;
        if (verb == "done") {
            ok[i] = true;
            shown.advance();
        } else if (verb == "failed" && (words >> step)) {
            std::string log = dir + "/" + std::to_string(i) + "." + step + ".log";
            failures.push_back({units[i].name, step, log_excerpt(log), hint_for(step), log});
            shown.message("hdrslim: " + units[i].name + ": " + step + " failed");
            shown.advance();
        }
    }
    pclose(pipe);
    // A unit that make never reached (make itself failed) is a failure too.
    for (size_t i = 0; i < units.size(); ++i)
        if (!reported[i])
            failures.push_back({units[i].name, "make", log_excerpt(dir + "/make.log"),
                                "make stopped before this unit; see the log", dir + "/make.log"});
    return failures;
}
