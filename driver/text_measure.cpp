#include "text_measure.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

text_size measure_file(const std::string& path) {
    text_size size;
    std::ifstream in(path, std::ios::binary);
    char buffer[65536];
    bool code = false; // the current line holds something but white space
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        std::streamsize got = in.gcount();
        size.bytes += got;
        for (std::streamsize i = 0; i < got; ++i) {
            char c = buffer[i];
            if (c == '\n') {
                size.lines += code;
                code = false;
            } else if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') {
                code = true;
            }
        }
    }
    size.lines += code;
    return size;
}

namespace {

// The quoted file name of a line marker ("# 12 \"a.h\" 2" or "#line 12 \"a.h\""),
// or "" when the line is not one.
std::string marker_file(const std::string& line) {
    if (line.size() < 4 || line[0] != '#') return "";
    size_t i = 1;
    if (line.compare(1, 4, "line") == 0) i = 5;
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i >= line.size() || !isdigit(static_cast<unsigned char>(line[i]))) return "";
    size_t open = line.find('"', i);
    size_t close = line.rfind('"');
    if (open == std::string::npos || close <= open) return "";
    return line.substr(open + 1, close - open - 1);
}

} // namespace

std::set<std::string> project_headers_in(const std::string& preprocessed, const std::string& tree) {
    std::set<std::string> headers;
    std::ifstream in(preprocessed);
    std::string line, previous;
    while (std::getline(in, line)) {
        std::string file = marker_file(line);
        if (file.empty() || file == previous) continue;
        previous = file;
        fs::path path = fs::path(file).lexically_normal();
        std::string ext = path.extension().string();
        // Generated headers carry the original headers' markers inside them, so
        // they themselves are not counted.
        if (!path.is_absolute() || ext == ".c" ||
            path.string().find("/include.new/") != std::string::npos)
            continue;
        fs::path rel = path.lexically_relative(tree);
        if (!rel.empty() && *rel.begin() != "..") headers.insert(path.string());
    }
    return headers;
}
