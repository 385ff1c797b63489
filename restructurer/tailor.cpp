#include "tailor.h"

#include <string>

namespace tailor {

Tailor::Tailor(const char* name) : file_name(name ? name : "") {
    std::ifstream stream(file_name);
    if (stream) configure(stream);
}

Tailor::Tailor(std::ifstream& stream) {
    configure(stream);
}

void Tailor::configure(std::ifstream& stream) {
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line[0] == '#') continue;
        switches.insert(line);
    }
}

} // namespace tailor
