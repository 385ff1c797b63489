// Where generated headers live and how they are included. A header used by the
// sources of one module goes to that module's include.new/ directory, one used
// by several modules to the shared include.new/.
#include "header/graph.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// "include.new/" followed by the directory part of `path` (if any).
std::string directory_under_include_new(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "include.new/" : "include.new/" + path.substr(0, slash);
}

// Creates `dir` (mode 0755; an existing directory is fine, a missing parent is
// not made). A link or file in the way from the "include.new" component on is
// removed first, so that the headers are never written through a link to
// somewhere else.
void make_header_dir(const std::string& dir) {
    std::size_t at = dir.rfind("include.new/");
    if (at == std::string::npos) at = 0;
    for (std::size_t slash = dir.find('/', at); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        const std::string prefix = dir.substr(0, slash);
        struct stat st;
        if (lstat(prefix.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) unlink(prefix.c_str());
    }
    mkdir(dir.c_str(), 0755);
}
} // namespace

std::string graph::get_header_name(const node& n) {
    const std::string f = get_filename(n); // "<id>" already replaced by the number
    std::string dir, name;
    if (!f.empty() && f[0] == '<') {
        const std::string inner = f.size() >= 2 ? f.substr(1, f.size() - 2) : std::string();
        name = "include.new/" + inner;
        dir = directory_under_include_new(inner);
    } else if (!f.empty() && f[0] == '/') {
        return "";
    } else {
        const std::set<std::string>& modules = modules_of[n];
        if (modules.empty()) return "";
        dir = modules.size() == 1 ? *modules.begin() + "/" + "include.new/" : "include.new/";
        name = dir + f;
    }
    make_header_dir(dir);
    header_dirs.insert(dir);
    return name;
}

std::string graph::get_new_header_filename(std::string path) {
    if (!path.empty() && path[0] == '<')
        path = path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string();
    if (path.empty() || path[0] != '/') return path;
    for (const std::string& dir : include_dirs) {
        if (!realpath(dir.c_str(), buf)) {
            std::cout << "Warning: file " << dir << " does not exist!\n";
            continue;
        }
        const std::string root = buf;
        if (path.compare(0, root.size(), root) == 0) {
            // Drop the directory and the one separator after it.
            return path.substr(std::min(path.size(), root.size() + 1));
        }
    }
    return path;
}

std::string graph::get_forward_type(const std::string& unit_name) {
    const std::size_t colon = unit_name.find(':');
    if (colon == std::string::npos) return unit_name + " ;\n";
    const std::size_t hash = unit_name.find('#', colon + 1);
    const std::string kind = unit_name.substr(0, colon);
    const std::string name = unit_name.substr(
        colon + 1, hash == std::string::npos ? std::string::npos : hash - colon - 1);
    return kind + " " + name + ";\n";
}
