#include "measured_form.h"

#include "trim.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace {

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

bool is_forward_declaration(const std::string& line) {
    static const std::regex forward("^(struct|union|enum)\\s+[A-Za-z_][A-Za-z_0-9]*\\s*;$");
    return std::regex_match(trim(line), forward);
}

// Cuts the forward declarations (and blank lines among them) off the end of a
// unit's text and returns them, keeping the unit's first line: a unit may be a
// forward declaration itself.
std::vector<std::string> trailing_forward_declarations(std::vector<std::string>& text) {
    size_t cut = text.size();
    while (cut > 1 && (trim(text[cut - 1]).empty() || is_forward_declaration(text[cut - 1])))
        --cut;
    while (cut < text.size() && trim(text[cut]).empty())
        ++cut;
    if (cut == text.size()) return {}; // blank lines only: they stay
    std::vector<std::string> moved(text.begin() + static_cast<std::ptrdiff_t>(cut), text.end());
    text.resize(cut);
    return moved;
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
    // The restructurer writes the forward declarations a unit needs right
    // before the unit's line marker: they end the text read so far (the
    // previous unit's, or text outside any unit) and open the next unit's.
    measured_unit* current = nullptr;
    std::vector<std::string> loose;
    for (size_t i = first; i < end; ++i) {
        int number = 0;
        std::string name;
        if (read_marker(lines[i], number, name)) {
            std::vector<std::string> ahead =
                current ? trailing_forward_declarations(current->text) : std::move(loose);
            loose.clear();
            result.units.push_back({name, number, std::move(ahead)});
            current = &result.units.back();
        } else if (read_include(lines[i], name)) {
            result.includes.push_back(name);
            current = nullptr;
        } else if (current) {
            current->text.push_back(lines[i]);
        } else {
            loose.push_back(lines[i]);
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
    std::vector<std::string> found;
    for (const std::string& l : unit.text) {
        std::string t = trim(l);
        if (t.empty() && found.empty()) continue;
        if (!is_forward_declaration(t) || t == trim(original_first_line)) break;
        found.push_back(t);
    }
    return found;
}
