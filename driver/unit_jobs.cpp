#include "unit_jobs.h"

#include "fresh_file.h"
#include "process.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
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

// The preprocessing of one unit into <unit>.cpp.c; N.pp marks its success.
// Every file the steps write is made anew: the copy may hold links named like
// them, and writing through a link would change the file it points at.
std::string preprocess_rule(const compile_unit& unit, size_t i, const toolchain& tools,
                            const std::string& dir) {
    std::string n = std::to_string(i);
    std::string at = dir + "/" + n + ".";
    std::vector<std::string> preprocess = {unit.compiler};
    preprocess.insert(preprocess.end(), unit.flags.begin(), unit.flags.end());
    // Comments are kept (-C) and then all but those that are code to the
    // compiler removed (see code_comments.h): the rewritten source is cut from
    // this text and must still build under -Wimplicit-fallthrough -Werror.
    // The headers it reads are listed on the way, for the measure at the end.
    preprocess.insert(preprocess.end(), {"-E", "-C", "-MD", "-MF", at + "before.d", unit.source,
                                         "-o", unit.preprocessed()});
    std::string rule = n + ".pp:\n";
    rule += "\t@" +
            for_make(shell_join({"rm", "-f", at + "pp", at + "parse.log", at + "extract.log",
                                 at + "paths.log", at + "before.d", at + "bound.c",
                                 at + "bound.log", unit.preprocessed(), unit.dump(), unit.facts(),
                                 unit.dump() + ".part", unit.facts() + ".part"})) +
            "\n";
    // A unit that cannot be preprocessed is reported and left out of its batch;
    // the recipe succeeds so that the batch still parses the others.
    rule +=
        "\t@" +
        for_make("{ cd " + shell_quote(unit.directory) + " && " + shell_join(preprocess) + " && " +
                 shell_join({tools.driver, "--keep-code-comments", unit.preprocessed()}) +
                 "; } 2> " + shell_quote(at + "preprocess.log") + " && touch " +
                 shell_quote(at + "pp") + " || echo 'failed " + n + " preprocess'") +
        "\n\n";
    return rule;
}

// After its batch: a unit the batch never finished (no dump and no log: c2ta
// died on it or before it) is parsed again alone, for its own message; then the
// extractor writes the facts of a unit that has its dump. Prints 'done N' or
// 'failed N STEP'.
std::string unit_tail(const compile_unit& unit, size_t i, const std::vector<std::string>& c2ta,
                      const toolchain& tools, const std::string& dir) {
    std::string n = std::to_string(i);
    std::string at = dir + "/" + n + ".";
    std::string dump = shell_quote(unit.dump()), log = shell_quote(at + "parse.log");
    std::string dump_part = shell_quote(unit.dump() + ".part");
    std::string facts_part = shell_quote(unit.facts() + ".part");
    std::string alone = "(cd " + shell_quote(unit.directory) + " && exec " + shell_join(c2ta) +
                        " " + shell_quote(unit.preprocessed()) + ") > " + dump_part + " 2> " + log +
                        " && mv " + dump_part + " " + dump +
                        " || { s=$?; [ $s -le 1 ] || echo \"c2ta stopped (status $s)\" >> " + log +
                        "; rm -f " + dump_part + "; }";
    std::string extract = shell_join({tools.extractor, unit.dump()}) + " > " + facts_part +
                          " && mv " + facts_part + " " + shell_quote(unit.facts());
    // The extractor drops the facts of a file whose path holds white space and
    // names it: the unit's facts are incomplete, and restructuring it would
    // leave out what that file declares.
    std::string incomplete = "grep 'holds white space' " + shell_quote(at + "extract.log") + " > " +
                             shell_quote(at + "paths.log");
    return "if [ -f " + shell_quote(at + "pp") + " ]; then if [ ! -f " + dump + " ] && [ ! -f " +
           log + " ]; then " + alone + "; fi; if [ ! -f " + dump + " ]; then echo 'failed " + n +
           " parse'; elif { " + extract + "; } 2> " + shell_quote(at + "extract.log") +
           "; then if " + incomplete + "; then echo 'failed " + n + " paths'; else echo 'done " +
           n + "'; fi; else rm -f " + facts_part + "; echo 'failed " + n + " extract'; fi; fi; ";
}

// One c2ta process for a batch of units that share their directory and flags,
// so that libclang starts once for them all; each unit keeps its own dump and
// messages (c2ta --unit), and its lower bound is written from the same parse
// (N.bound.c, its messages in N.bound.log) for the bound phase.
std::string batch_rule(const std::vector<compile_unit>& units, const std::vector<size_t>& numbers,
                       const std::vector<size_t>& batch, size_t number, const toolchain& tools,
                       const std::string& dir) {
    const compile_unit& first = units[batch.front()];
    std::vector<std::string> c2ta = {tools.c2ta};
    c2ta.insert(c2ta.end(), first.flags.begin(), first.flags.end());
    std::string name = "batch" + std::to_string(number);
    std::string rule = name + ":";
    for (size_t i : batch)
        rule += " " + std::to_string(numbers[i]) + ".pp";
    // c2ta reads the preprocessed text itself, so that its file names and
    // positions are exactly those of the line markers the restructurer follows.
    std::string script = "set --; ";
    for (size_t i : batch) {
        std::string at = dir + "/" + std::to_string(numbers[i]) + ".";
        script += "[ ! -f " + shell_quote(at + "pp") + " ] || set -- \"$@\" --unit " +
                  shell_join({units[i].preprocessed(), units[i].dump(), at + "parse.log"}) +
                  " --bound " +
                  shell_join({units[i].preprocessed(), at + "bound.c", at + "bound.log"}) + "; ";
    }
    script += "[ $# -eq 0 ] || (cd " + shell_quote(first.directory) + " && exec " +
              shell_join(c2ta) + " \"$@\") 2> " + shell_quote(dir + "/" + name + ".log") + "; ";
    for (size_t i : batch)
        script += unit_tail(units[i], numbers[i], c2ta, tools, dir);
    return rule + "\n\t@" + for_make(script + "true") + "\n\n";
}

// The units in batches of at most `size`, each of units sharing directory and
// flags, in the order of the units.
std::vector<std::vector<size_t>> batches_of(const std::vector<compile_unit>& units, size_t size) {
    std::vector<std::vector<size_t>> batches;
    std::map<std::pair<std::string, std::vector<std::string>>, size_t> open; // key -> batch
    for (size_t i = 0; i < units.size(); ++i) {
        auto key = std::make_pair(units[i].directory, units[i].flags);
        auto found = open.find(key);
        if (found == open.end() || batches[found->second].size() >= size) {
            open[key] = batches.size();
            batches.push_back({});
            found = open.find(key);
        }
        batches[found->second].push_back(i);
    }
    return batches;
}

} // namespace

std::string units_makefile(const std::vector<compile_unit>& units,
                           const std::vector<size_t>& numbers, const toolchain& tools,
                           const std::string& dir, size_t batch_size) {
    std::vector<std::vector<size_t>> batches = batches_of(units, std::max<size_t>(1, batch_size));
    std::string text = "# Per-unit steps of hdrslim: preprocess, TA dump, facts.\n";
    text += "# Each batch prints 'done N' or 'failed N STEP' for each of its units.\n\nall:";
    for (size_t b = 0; b < batches.size(); ++b)
        text += " batch" + std::to_string(b);
    text += "\n\n";
    for (size_t i = 0; i < units.size(); ++i)
        text += preprocess_rule(units[i], numbers[i], tools, dir);
    for (size_t b = 0; b < batches.size(); ++b)
        text += batch_rule(units, numbers, batches[b], b, tools, dir);
    text += ".PHONY: all";
    for (size_t b = 0; b < batches.size(); ++b)
        text += " batch" + std::to_string(b);
    return text + "\n";
}

size_t unit_batch_size(size_t units, int jobs) {
    // Four batches a job keep the jobs busy to the end; eight units a process
    // already make libclang's start-up a small part of its time.
    size_t per_job = static_cast<size_t>(std::max(1, jobs)) * 4;
    return std::clamp<size_t>((units + per_job - 1) / per_job, 1, 8);
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
    if (step == "paths")
        return "a file the unit includes has white space in its path, which fact files "
               "cannot carry, so the unit is not restructured; rename the file (or its "
               "directory) without blanks";
    if (step == "compile")
        return "the restructured source does not compile: a fault of hdrslim; the log and "
               "the .cpp.new.c file show where";
    return "see the log";
}

std::vector<unit_failure> run_unit_jobs(const std::vector<compile_unit>& units,
                                        const std::vector<size_t>& numbers, const toolchain& tools,
                                        const std::string& dir, int jobs, progress& shown,
                                        std::vector<bool>& ok) {
    std::vector<unit_failure> failures;
    std::map<size_t, size_t> place; // file number -> unit
    for (size_t k = 0; k < units.size(); ++k)
        place[numbers[k]] = k;
    ok.assign(units.size(), false);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!write_fresh(dir + "/units.mk", units_makefile(units, numbers, tools, dir,
                                                       unit_batch_size(units.size(), jobs))) ||
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
        size_t number = 0;
        if (!(words >> verb >> number) || !place.count(number)) continue;
        const size_t i = place[number];
        reported[i] = true;
        if (verb == "done") {
            ok[i] = true;
            shown.advance();
        } else if (verb == "failed" && (words >> step)) {
            std::string log = dir + "/" + std::to_string(number) + "." + step + ".log";
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
