#include "source_form_step.h"

#include "build_outputs.h"
#include "fresh_file.h"
#include "process.h"
#include "project_copy.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool inside(const std::string& path, const std::string& dir) {
    return path == dir || path.rfind(dir + "/", 0) == 0;
}

// The include directories of a unit's flags, absolute, in order.
std::vector<std::string> include_dirs(const compile_unit& unit) {
    std::vector<std::string> dirs;
    for (const std::string& dir : unit.include_dirs())
        dirs.push_back(fs::absolute(fs::path(unit.directory) / dir).lexically_normal().string());
    return dirs;
}

// One changed file's part of the patch, made by diff(1) with the names the
// patch needs.
std::string changed_file_diff(const std::string& before, const std::string& after,
                              const std::string& rel, const std::string& scratch) {
    process_result r =
        run_process({{"diff", "-u", "--label", "a/" + rel, "--label", "b/" + rel, before, after},
                     "",
                     scratch,
                     ""});
    if (!r.started || r.status > 1) return "";
    std::string text = read_all(scratch);
    if (text.empty()) return "";
    return "diff --git a/" + rel + " b/" + rel + "\n" + text;
}

} // namespace

std::string added_file_diff(const std::string& text, const std::string& rel) {
    if (text.empty()) return "";
    std::string hunk;
    size_t lines = 0;
    for (size_t at = 0; at < text.size(); ++lines) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            hunk += "+" + text.substr(at) + "\n\\ No newline at end of file\n";
            at = text.size();
        } else {
            hunk.append("+").append(text, at, end + 1 - at);
            at = end + 1;
        }
    }
    return "diff --git a/" + rel + " b/" + rel + "\nnew file mode 100644\n--- /dev/null\n+++ b/" +
           rel + "\n@@ -0,0 +1" + (lines == 1 ? "" : "," + std::to_string(lines)) + " @@\n" + hunk;
}

std::vector<std::string> flags_in(const std::vector<std::string>& flags, const std::string& tree,
                                  const std::string& dir) {
    std::vector<std::string> moved;
    for (const std::string& flag : flags) {
        std::string f = flag;
        size_t at = f.find(tree);
        if (at != std::string::npos && (at + tree.size() == f.size() || f[at + tree.size()] == '/'))
            f = f.substr(0, at) + dir + f.substr(at + tree.size());
        moved.push_back(f);
    }
    return moved;
}

std::string git_prefix_of(const std::string& dir, const std::string& scratch) {
    process_result r =
        run_process({{"git", "-C", dir, "rev-parse", "--show-prefix"}, "", scratch, ""});
    std::string prefix = r.ok() ? read_all(scratch) : "";
    std::error_code ec;
    fs::remove(scratch, ec);
    prefix = prefix.substr(0, prefix.find('\n'));
    return prefix;
}

std::string source_form_patch(const std::string& project, const std::string& dir,
                              const source_form_result& files) {
    std::string scratch = dir + ".diff.part";
    std::string patch;
    std::vector<std::pair<std::string, bool>> all; // path, added?
    for (const std::string& rel : files.changed)
        all.emplace_back(rel, false);
    for (const std::string& rel : files.added)
        all.emplace_back(rel, true);
    std::sort(all.begin(), all.end());
    // A new file's diff is its text, so only changed files need diff(1): a
    // large project gets thousands of new headers.
    for (const auto& [rel, added] : all)
        patch += added ? added_file_diff(read_all(dir + "/" + rel), rel)
                       : changed_file_diff(project + "/" + rel, dir + "/" + rel, rel, scratch);
    std::error_code ec;
    fs::remove(scratch, ec);
    return patch;
}

source_form_step write_source_step(const std::string& project, const std::string& tree,
                                   const std::string& root, const std::vector<compile_unit>& units,
                                   const std::vector<bool>& restructured,
                                   const std::vector<std::string>& new_headers) {
    source_form_step step;
    step.dir = root + "/source";
    step.patch = root + "/hdrslim.patch";
    std::error_code ec;
    fs::remove_all(step.dir, ec);
    if (!copy_project(project, step.dir, step.error)) return step;
    clean_build_outputs(step.dir, project);
    source_form_input input;
    input.tree = tree;
    input.out = step.dir;
    input.new_headers = new_headers;
    for (size_t i = 0; i < units.size(); ++i) {
        const compile_unit& unit = units[i];
        if (!inside(unit.source, tree)) continue;
        source_form_unit u;
        u.source = unit.source;
        u.facts = unit.facts();
        u.rewritten = i < restructured.size() && restructured[i] ? unit.rewritten() : "";
        u.include_dirs = include_dirs(unit);
        u.directory = unit.directory;
        input.units.push_back(u);
    }
    step.files = write_source_form(input);
    if (!step.files.problems.empty()) {
        step.error = "cannot write " + step.files.problems.front();
        return step;
    }
    if (!write_fresh(step.patch, source_form_patch(project, step.dir, step.files))) {
        step.error = "cannot write " + step.patch;
        return step;
    }
    step.git_prefix = git_prefix_of(project, step.dir + ".git-prefix");
    step.written = true;
    return step;
}
