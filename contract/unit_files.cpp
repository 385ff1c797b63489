#include "contract/unit_files.h"

namespace {
bool ends_with(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// `path` up to its last `mark` (the whole path without one).
std::string before_last(const std::string& path, std::string_view mark) {
    const std::size_t at = path.rfind(mark);
    return at == std::string::npos ? path : path.substr(0, at);
}
} // namespace

std::string preprocessed_source_of(const std::string& stem) {
    return stem + std::string(preprocessed_ending);
}

std::string dump_file_of(const std::string& stem) {
    return stem + ".ta";
}

std::string fact_file_of(const std::string& stem) {
    return stem + ".rsf";
}

std::string rewritten_source_of(const std::string& stem) {
    return rewritten_copy_of(preprocessed_source_of(stem));
}

bool is_preprocessed_source(std::string_view path) {
    return ends_with(path, preprocessed_ending);
}

std::string stem_of_input(const std::string& path) {
    for (std::string_view ending : {preprocessed_ending, std::string_view(".c"),
                                    std::string_view(".i"), std::string_view(".h")})
        if (ends_with(path, ending)) return path.substr(0, path.size() - ending.size());
    return path;
}

std::string preprocessed_source_of_facts(const std::string& fact_file) {
    return preprocessed_source_of(before_last(fact_file, "."));
}

std::string fact_file_of_preprocessed(const std::string& path) {
    return fact_file_of(before_last(path, preprocessed_ending));
}

std::string rewritten_copy_of(const std::string& name) {
    if (name.empty()) return "";
    const std::string base = name.size() >= 2 ? name.substr(0, name.size() - 2) : std::string();
    if (name.back() == 'c') return base + ".new.c";
    if (name.back() == 'h') return base + ".new.h";
    return "";
}
