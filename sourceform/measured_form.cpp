#include "measured_form.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// "#line 12 \"f\"" or "# 12 \"f\" 2": the line and the file; false for other lines.
bool read_marker(const std::string& line, int& number, std::string& file) {
    static const std::regex marker("^#\\s*(?:line\\s+)?([0-9]+)\\s+\"(.*)\"(\\s+[0-9 ]*)?\\s*$");
    std::smatch m;
    if (!std::regex_match(line, m, marker)) return false;
    number = std::stoi(m[1]);
    file = m[2];
    return true;
}

bool read_include(const std::string& line, std::string& name) {
    static const std::regex include("^\\s*#\\s*include\\s+\"([^\"]+)\"\\s*$");
    std::smatch m;
    if (!std::regex_match(line, m, include)) return false;
    name = m[1];
    return true;
}

} // namespace

measured_file read_measured_text(const std::string& text) {
    measured_file result;
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line))
        lines.push_back(line);
    // The guard of a numbered header and its closing #endif are the measured
    // form's own.
    size_t first = 0, end = lines.size();
    if (lines.size() >= 3 && lines[0].rfind("#ifndef HEADER_", 0) == 0 &&
        lines[1].rfind("#define HEADER_", 0) == 0 && trim(lines.back()) == "#endif") {
        first = 2;
        end = lines.size() - 1;
    }
    static const std::regex forward("^(struct|union|enum)\\s+[A-Za-z_][A-Za-z_0-9]*\\s*;$");
    measured_unit* current = nullptr;
    std::vector<std::string> pending; // forward declarations written before a marker
    for (size_t i = first; i < end; ++i) {
        int number = 0;
        std::string name;
        if (read_marker(lines[i], number, name)) {
            // Forward declarations that end the text before a marker belong to
            // the unit it starts.
            if (current)
                while (!current->text.empty() &&
                       std::regex_match(trim(current->text.back()), forward)) {
                    pending.insert(pending.begin(), current->text.back());
                    current->text.pop_back();
                }
            result.units.push_back({name, number, pending});
            pending.clear();
            current = &result.units.back();
        } else if (!current && std::regex_match(trim(lines[i]), forward)) {
            pending.push_back(lines[i]);
        } else if (read_include(lines[i], name)) {
            result.includes.push_back(name);
            current = nullptr;
        } else if (current) {
            current->text.push_back(lines[i]);
        }
    }
    return result;
}

measured_file read_measured_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return read_measured_text(text.str());
}

std::vector<std::string> forward_declarations(const measured_unit& unit,
                                              const std::string& original_first_line) {
    static const std::regex forward("^(struct|union|enum)\\s+[A-Za-z_][A-Za-z_0-9]*\\s*;$");
    std::vector<std::string> found;
    for (const std::string& l : unit.text) {
        std::string t = trim(l);
        if (t.empty() && found.empty()) continue;
        if (!std::regex_match(t, forward) || t == trim(original_first_line)) break;
        found.push_back(t);
    }
    return found;
}
