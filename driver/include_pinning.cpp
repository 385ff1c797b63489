#include "include_pinning.h"

#include "fresh_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The name between the quotes of an include line, or "" for any other line.
std::string quoted_include(const std::string& line, size_t& open, size_t& close) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return "";
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return "";
    open = line.find('"', i + 7);
    if (open == std::string::npos) return "";
    close = line.find('"', open + 1);
    if (close == std::string::npos) return "";
    return line.substr(open + 1, close - open - 1);
}

} // namespace

std::string pin_includes(const std::string& text, const std::vector<std::string>& dirs) {
    std::istringstream lines(text);
    std::string out, line;
    while (std::getline(lines, line)) {
        size_t open = 0, close = 0;
        std::string name = quoted_include(line, open, close);
        if (!name.empty() && name[0] != '/') {
            for (const std::string& dir : dirs) {
                fs::path candidate = fs::path(dir) / name;
                if (fs::is_regular_file(candidate)) {
                    line = line.substr(0, open + 1) + candidate.lexically_normal().string() +
                           line.substr(close);
                    break;
                }
            }
        }
        out += line;
        if (!lines.eof()) out += '\n';
    }
    return out;
}

bool pin_file_includes(const std::string& path, const std::vector<std::string>& dirs) {
    std::stringstream text;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        text << in.rdbuf();
    }
    return write_fresh(path, pin_includes(text.str(), dirs));
}
