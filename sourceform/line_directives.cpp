#include "line_directives.h"

#include <cctype>

bool line_directive_name(const std::string& line, std::string& name) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') return false;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos) return false;
    if (line.compare(at, 4, "line") == 0) {
        at += 4;
        if (at >= line.size() || (line[at] != ' ' && line[at] != '\t')) return false;
        at = line.find_first_not_of(" \t", at);
    }
    const size_t digits = at;
    while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])))
        ++at;
    if (digits == std::string::npos || at == digits) return false;
    at = line.find_first_not_of(" \t", at);
    if (at == std::string::npos || line[at] != '"') return false;
    const size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return false;
    name = line.substr(at + 1, close - at - 1);
    return true;
}
