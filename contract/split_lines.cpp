#include "contract/split_lines.h"

bool line_marker_flag(const std::string& marker, int flag) {
    const char digit = static_cast<char>('0' + flag);
    const std::size_t close = marker.rfind('"');
    if (close == std::string::npos) return false;
    for (std::size_t at = close + 1; at < marker.size(); ++at)
        if (marker[at] == digit && marker[at - 1] == ' ' &&
            (at + 1 == marker.size() || marker[at + 1] == ' '))
            return true;
    return false;
}

bool split_lines::marker(const std::string& file, long line, bool system, bool enters_or_leaves) {
    continues_ = !enters_or_leaves && joinable_ && line == last_line_ && file == last_file_ &&
                 system != system_;
    file_ = file;
    system_ = system;
    next_ = line;
    return continues_;
}

bool split_lines::text(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    const bool directive = first != std::string::npos && line[first] == '#';
    const bool piece = continues_ && !directive;
    continues_ = false;
    // A piece takes the number of the line it continues, and keeps that line
    // joinable: a line may hold several system macros.
    last_file_ = file_;
    last_line_ = next_++;
    if (!piece) joinable_ = first != std::string::npos && !directive;
    return piece;
}
