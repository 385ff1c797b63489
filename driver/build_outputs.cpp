#include "build_outputs.h"

#include "process.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The files git tracks in `project`, relative to it; empty when the project is
// not a git work tree (or git is missing).
std::set<std::string> tracked_files(const std::string& project, const std::string& scratch) {
    std::set<std::string> tracked;
    if (!fs::exists(fs::path(project) / ".git")) return tracked;
    process_result result =
        run_process({{"git", "-C", project, "ls-files", "-z"}, project, scratch, ""});
    std::ifstream in(scratch, std::ios::binary);
    std::string name;
    while (result.ok() && std::getline(in, name, '\0'))
        tracked.insert(fs::path(name).lexically_normal().string());
    in.close();
    std::error_code ec;
    fs::remove(scratch, ec);
    return tracked;
}

bool is_build_output(const fs::directory_entry& entry) {
    std::string ext = entry.path().extension().string();
    if (ext == ".lo" || ext == ".la") return true;
    return holds_machine_code(entry.path().string());
}

} // namespace

bool holds_machine_code(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    if (in.gcount() >= 4 && std::string(head, 4) == "\177ELF") return true;
    return in.gcount() == 8 && std::string(head, 8) == "!<arch>\n";
}

std::vector<std::string> clean_build_outputs(const std::string& tree, const std::string& project) {
    std::set<std::string> tracked = tracked_files(project, tree + ".git-files");
    std::vector<std::string> removed;
    std::vector<fs::path> doomed;
    std::error_code ec;
    fs::recursive_directory_iterator it(tree, fs::directory_options::none, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::string rel = entry.path().lexically_relative(tree).string();
        if (entry.is_symlink(ec)) continue;
        if (entry.is_directory(ec)) {
            // A build folder of CMake or meson: everything in it was made by the
            // build system or the build, and its state names the project's own
            // path (meson's setup finds it configured already and its test runs
            // in the project, not in the copy).
            const char* state = fs::exists(entry.path() / "CMakeCache.txt", ec) ? "CMakeCache.txt"
                                : fs::exists(entry.path() / "meson-private" / "coredata.dat", ec)
                                    ? "meson-private/coredata.dat"
                                    : nullptr;
            if (state && !tracked.count(rel + "/" + state)) {
                doomed.push_back(entry.path());
                removed.push_back(rel + "/");
                it.disable_recursion_pending();
            }
            continue;
        }
        if (!entry.is_regular_file(ec) || tracked.count(rel)) continue;
        // An in-source CMake build leaves its cache and its folder in the project.
        bool cmake_state = entry.path().filename() == "CMakeCache.txt" &&
                           fs::is_directory(entry.path().parent_path() / "CMakeFiles", ec);
        if (cmake_state || is_build_output(entry)) {
            doomed.push_back(entry.path());
            removed.push_back(rel);
            if (cmake_state) {
                doomed.push_back(entry.path().parent_path() / "CMakeFiles");
                removed.push_back(
                    (entry.path().parent_path() / "CMakeFiles").lexically_relative(tree).string() +
                    "/");
            }
        }
    }
    for (const fs::path& path : doomed)
        fs::remove_all(path, ec);
    std::sort(removed.begin(), removed.end());
    return removed;
}
