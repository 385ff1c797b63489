#include "fact_index.h"

#include "contract/unit_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unordered_map>

namespace fs = std::filesystem;

const std::string& normal(const std::string& path) {
    thread_local std::unordered_map<std::string, std::string> known;
    auto it = known.find(path);
    if (it == known.end())
        it = known.emplace(path, fs::path(path).lexically_normal().string()).first;
    return it->second;
}

std::string source_of(const std::string& file) {
    if (!is_preprocessed_source(file)) return file;
    return file.substr(0, file.size() - preprocessed_ending.size()) + ".c";
}

namespace {

// The words of a fact line: verb, subject, object (false when fewer).
bool fact_words(const std::string& line, std::string_view (&words)[3]) {
    size_t at = 0;
    for (std::string_view& word : words) {
        at = line.find_first_not_of(" \t\r\v\f", at);
        if (at == std::string::npos) return false;
        size_t end = line.find_first_of(" \t\r\v\f", at);
        if (end == std::string::npos) end = line.size();
        word = std::string_view(line).substr(at, end - at);
        at = end;
    }
    return true;
}

// A file name of the facts: a relative one (the `#line 1 "src/parser.y"` of a
// generated parser) is taken in the unit's compile directory, as the compiler
// saw it; "" for the compile directory itself (gcc's `# 1 "/dir//"` marker).
std::string fact_file(std::string_view view, const std::string& directory) {
    const std::string name(view);
    if (name.size() > 2 && name.compare(name.size() - 2, 2, "//") == 0) return "";
    if (name.empty() || name[0] == '/' || name[0] == '<' || directory.empty()) return normal(name);
    return normal(directory + "/" + name);
}

int line_of(std::string_view position) {
    int line = 0;
    for (size_t k = 0; k < position.size() && position[k] >= '0' && position[k] <= '9'; ++k)
        line = line * 10 + (position[k] - '0');
    return line;
}

} // namespace

// Reads one fact file into `facts`. Every unit's facts repeat the headers they
// share, so the words are cut in place rather than through streams.
void read_facts(const std::string& path, const std::string& directory, fact_index& facts) {
    std::ifstream in(path);
    std::string line;
    const std::string* last_file = nullptr;
    while (std::getline(in, line)) {
        if (line.empty()) break;
        std::string_view w[3];
        if (!fact_words(line, w)) continue;
        const std::string_view verb = w[0], subject = w[1], object = w[2];
        if (verb == "-1" && subject.rfind("file:", 0) == 0 && object.rfind("file:", 0) == 0) {
            std::string from = source_of(fact_file(subject.substr(5), directory));
            std::string to = fact_file(object.substr(5), directory);
            if (from.empty() || to.empty() || from == to) continue;
            auto& list = facts.includes[from];
            if (std::find(list.begin(), list.end(), to) == list.end()) list.push_back(to);
        } else if (verb == "0" || verb == "1") {
            // file:begin:end[:context]; the file may not hold ':'.
            size_t c1 = object.find(':');
            size_t c2 = c1 == std::string::npos ? c1 : object.find(':', c1 + 1);
            if (c2 == std::string::npos) continue;
            size_t c3 = object.find(':', c2 + 1);
            std::string file = source_of(fact_file(object.substr(0, c1), directory));
            int begin = line_of(object.substr(c1 + 1, c2 - c1 - 1));
            int end = line_of(object.substr(c2 + 1, c3 == std::string::npos ? c3 : c3 - c2 - 1));
            auto key = std::make_pair(file, begin);
            unit_facts& unit = facts.units[key];
            unit.end = std::max(unit.end, end);
            const size_t colon = subject.find(':');
            unit.kinds.emplace(subject.substr(0, colon));
            std::string_view name = subject.substr(colon + 1);
            name = name.substr(0, name.find_first_of(":#"));
            if (!name.empty()) {
                if (unit.name.empty()) unit.name = name;
                unit.names.emplace(name);
                facts.declared[std::string(name)].insert(key);
            }
            if (!last_file || *last_file != file) last_file = &*facts.unit_files.insert(file).first;
        }
    }
}
