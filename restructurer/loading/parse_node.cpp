// Definition (kind 0) and declaration (kind 1) facts: "<kind> <unit> <location>",
// the location being file:begin:end with, for definitions, an optional
// :context-file naming the file of the compilation context.
#include "header/graph.h"

#include "loading/fact_line.h"

namespace {
// Splits `text` at its first ":"; without one, the head is the whole text.
std::pair<std::string, std::string> split_first(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return {text, ""};
    return {text.substr(0, colon), text.substr(colon + 1)};
}
} // namespace

void graph::parse_node(int kind, const std::string& name, const std::string& location) {
    const bool define = kind == 0;
    node n = find_unit(name, define);
    if (!n.object) n = add_unit(name, define, define);
    ProgramUnit* unit = as_unit(n);
    if (!unit) return;

    auto [start, rest] = split_first(location);
    const std::string start_file = system_path(start);
    auto [begin_text, tail] = split_first(rest);
    std::string end_text = tail;
    std::string file_name = start_file;
    if (define && tail.find(':') != std::string::npos && !is_system_file(start_file)) {
        auto [end_part, context] = split_first(tail);
        end_text = end_part;
        file_name = system_path(context);
    }
    unit->begin = line_of(begin_text);
    unit->end = line_of(end_text);
    unit->start_file = start_file;
    unit->file_name = file_name;
}
