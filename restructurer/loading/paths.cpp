// Path resolution and the system-file test. A file belongs to the user when it
// is found (absolutely, or below one of the "-I" directories) and its resolved
// path lies below one of the "-M" user module directories.
#include "header/graph.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unordered_map>
#include <unordered_set>

// Resolved paths are remembered: the facts name the same few hundred files
// hundreds of thousands of times, and resolving walks every component. A path
// that does not resolve is tried (and reported) again each time.
std::string graph::system_path(std::string path) {
    static std::unordered_map<std::string, std::string> resolved;
    auto known = resolved.find(path);
    if (known != resolved.end()) return known->second;
    if (realpath(path.c_str(), buf)) return resolved.emplace(path, buf).first->second;
    std::cout << "Warning: file " << path << " does not exist!\n";
    return "";
}

// Relative names are those of the compile directory when it is known: the
// line markers of a generated source ("#line 1 \"sub/gen.y\"") name files as
// the compiler saw them from there. A name found nowhere still names the
// unit's text, so it becomes an absolute path all the same.
std::string graph::source_path(const std::string& name, const std::string& compile_dir) {
    if (name.empty() || name[0] == '<') return system_path(name); // <built-in>, <command-line>
    const bool relative = name[0] != '/';
    const std::string candidate =
        relative && !compile_dir.empty() ? compile_dir + "/" + name : name;
    if (realpath(candidate.c_str(), buf)) return std::string(buf);
    std::cout << "Warning: file " << name << " does not exist!\n";
    std::error_code ec;
    return std::filesystem::absolute(candidate, ec).lexically_normal().string();
}

std::string graph::working_directory(const std::string& preprocessed) {
    std::ifstream in(preprocessed);
    std::string line;
    // gcc writes the marker second, right after the one naming the source.
    for (int i = 0; i < 2 && std::getline(in, line); ++i) {
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (line.compare(0, 2, "# ") != 0 || open == std::string::npos || close <= open + 2)
            continue;
        const std::string name = line.substr(open + 1, close - open - 1);
        if (is_working_directory_marker(name)) return name.substr(0, name.size() - 2);
    }
    return "";
}

bool graph::is_working_directory_marker(const std::string& name) {
    return name.size() > 2 && name.compare(name.size() - 2, 2, "//") == 0;
}

std::string graph::marker_file(const std::string& file) {
    auto main = main_file_of.find(file);
    return main == main_file_of.end() ? file : main->second;
}

namespace {
// Files once opened are remembered as openable.
bool can_open(const std::string& path) {
    static std::unordered_set<std::string> opened;
    if (opened.count(path)) return true;
    if (!std::ifstream(path).is_open()) return false;
    opened.insert(path);
    return true;
}

// The resolved path of a file name as an include line gives it, or "" when the
// file is found nowhere. Relative names are searched in the "-I" directories
// in ascending order; the working directory is not searched on its own.
std::string locate(std::string file) {
    if (!file.empty() && file[0] == '<')
        file = file.size() >= 2 ? file.substr(1, file.size() - 2) : std::string();
    if (!file.empty() && file[0] == '/') return can_open(file) ? file : std::string();
    for (const std::string& dir : graph::include_dirs) {
        const std::string candidate = dir + "/" + file;
        if (can_open(candidate)) return graph::system_path(candidate);
    }
    return "";
}
} // namespace

bool graph::is_system_file(std::string file) {
    const std::string located = locate(file);
    if (located.empty()) return true;
    for (const std::string& module : user_modules) {
        // Resolved at every test: the module list is short and the directories
        // may appear while the program runs.
        const std::string root = system_path(module);
        if (!root.empty() && located.compare(0, root.size(), root) == 0) return false;
    }
    return true;
}

std::string graph::get_filename(const node& n) {
    if (!n.object) return "";
    const std::string own = n.object->get_filename();
    if (own == "<id>") return std::to_string(n.id) + (n.object->is_define() ? ".c" : ".h");
    return own;
}

std::string graph::get_include_dirs() const {
    std::string options = " -Iinclude.new";
    for (const std::string& dir : module_dirs)
        options += " -I" + dir + "/include.new";
    return options;
}
