#include "header_coupling.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool inside(const fs::path& path, const std::string& tree) {
    fs::path rel = path.lexically_relative(tree);
    return !rel.empty() && *rel.begin() != "..";
}

bool generated(const fs::path& path) {
    return path.string().find("/include.new/") != std::string::npos;
}

// The file a line marker names ("# 12 \"a.h\" 2" or "#line 12 \"a.h\""); false
// when the line is none.
bool marker_file(const std::string& line, std::string& file) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return false;
    ++i;
    if (line.compare(i, 4, "line") == 0) i += 4;
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i >= line.size() || !isdigit(static_cast<unsigned char>(line[i]))) return false;
    size_t open = line.find('"', i);
    size_t close = line.rfind('"');
    if (open == std::string::npos || close <= open) return false;
    file = line.substr(open + 1, close - open - 1);
    return true;
}

} // namespace

std::set<std::string> headers_declaring_in(const std::string& preprocessed,
                                           const std::string& tree) {
    std::set<std::string> headers;
    std::ifstream in(preprocessed);
    std::string line, file;
    bool counted = true; // the current file needs no more lines
    while (std::getline(in, line)) {
        std::string named;
        if (marker_file(line, named)) {
            file = named;
            fs::path path = fs::path(file).lexically_normal();
            counted = headers.count(path.string()) || !path.is_absolute() ||
                      path.extension() == ".c" || generated(path) || !inside(path, tree);
            continue;
        }
        if (counted) continue;
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        headers.insert(fs::path(file).lexically_normal().string());
        counted = true;
    }
    return headers;
}

std::set<std::string> headers_read(const std::string& dependency_file, const std::string& directory,
                                   const std::string& tree) {
    std::ifstream in(dependency_file);
    std::stringstream text;
    text << in.rdbuf();
    std::set<std::string> headers;
    std::string s = text.str(), word;
    bool target_seen = false;
    auto flush = [&]() {
        if (word.empty()) return;
        if (!target_seen) {
            // "target: dependencies..." (the target may end in the colon itself)
            if (word.back() == ':') target_seen = true;
        } else if (word != ":") {
            fs::path path = fs::path(word);
            if (path.is_relative()) path = fs::path(directory) / path;
            path = path.lexically_normal();
            if (path.extension() != ".c" && (generated(path) || inside(path, tree)))
                headers.insert(path.string());
        }
        word.clear();
    };
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\n' || s[i + 1] == '\r')) {
            flush();
            ++i;
        } else if (c == '\\' && i + 1 < s.size() && s[i + 1] == ' ') {
            word += ' ';
            ++i;
        } else if (c == '\n' && target_seen) {
            flush();
            break; // only the first rule: phony rules (-MP) follow
        } else if (isspace(static_cast<unsigned char>(c))) {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return headers;
}
