#include "restructure_step.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string absolute_in(const std::string& path, const std::string& dir) {
    fs::path p(path);
    return (p.is_absolute() ? p : fs::path(dir) / p).lexically_normal().string();
}

bool inside(const std::string& path, const std::string& tree) {
    fs::path rel = fs::path(path).lexically_relative(tree);
    return !rel.empty() && *rel.begin() != "..";
}

} // namespace

std::vector<std::string> project_include_dirs(const std::vector<compile_unit>& units,
                                              const std::string& tree) {
    std::vector<std::string> dirs;
    std::set<std::string> seen;
    for (const compile_unit& unit : units)
        for (const std::string& dir : unit.include_dirs())
            if (inside(dir, tree) && seen.insert(dir).second) dirs.push_back(dir);
    return dirs;
}

void read_generated_makefile(const std::string& text, const std::string& dir,
                             std::vector<std::string>& include_flags,
                             std::vector<std::string>& headers) {
    std::istringstream lines(text);
    std::string line;
    bool after_suffix_rule = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        if (line.rfind("HEADERS =", 0) == 0) {
            words >> word >> word; // "HEADERS" "="
            while (words >> word)
                headers.push_back(absolute_in(word, dir));
        } else if (line == ".c.o:") {
            after_suffix_rule = true;
        } else if (after_suffix_rule) {
            while (words >> word)
                if (word.rfind("-I", 0) == 0 && word.size() > 2)
                    include_flags.push_back("-I" + absolute_in(word.substr(2), dir));
            after_suffix_rule = false;
        }
    }
}

std::map<std::string, std::vector<std::string>> read_lost_texts(const std::string& log) {
    static const std::string prefix = "Warning: text not found: ";
    std::map<std::string, std::vector<std::string>> lost;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) != 0 || line.empty() || line.back() != ')') continue;
        const std::size_t open = line.rfind(" (");
        if (open == std::string::npos || open < prefix.size()) continue;
        lost[line.substr(open + 2, line.size() - open - 3)].push_back(
            line.substr(prefix.size(), open - prefix.size()));
    }
    return lost;
}

restructure_result run_restructurer(const std::string& restructurer,
                                    const std::vector<compile_unit>& units, const std::string& tree,
                                    const std::string& dir) {
    restructure_result result;
    result.dir = dir;
    result.log = dir + "/restructurer.log";
    std::error_code ec;
    fs::create_directories(dir, ec);
    std::vector<std::string> argv = {restructurer};
    for (const std::string& include : project_include_dirs(units, tree))
        argv.push_back("-I" + include);
    argv.push_back("-M" + tree);
    for (const compile_unit& unit : units)
        argv.push_back(unit.facts());
    result.run = run_process({argv, dir, result.log, result.log});

    std::ifstream log(result.log);
    std::stringstream log_text;
    log_text << log.rdbuf();
    result.lost_texts = read_lost_texts(log_text.str());

    std::ifstream makefile(dir + "/Makefile.gen");
    std::stringstream text;
    text << makefile.rdbuf();
    std::vector<std::string> listed;
    read_generated_makefile(text.str(), dir, result.include_flags, listed);
    for (const std::string& header : listed)
        if (fs::is_regular_file(header)) result.new_headers.push_back(header);
    return result;
}
