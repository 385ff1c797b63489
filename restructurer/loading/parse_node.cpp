// Definition and declaration facts (fact_kind::definition,
// fact_kind::declaration): "<kind> <unit> <location>", the location being
// file:begin:end with, for definitions, an optional :context-file naming the
// file of the compilation context.
#include "header/graph.h"

#include "contract/fact_kind.h"
#include "loading/fact_numbers.h"

#include <sys/stat.h>

namespace {
bool file_exists(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

// Splits `text` at its first ":"; without one, the head is the whole text.
std::pair<std::string, std::string> split_first(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return {text, ""};
    return {text.substr(0, colon), text.substr(colon + 1)};
}
} // namespace

void graph::parse_node(int kind, const std::string& name, const std::string& location) {
    const bool define = kind == fact_kind::definition;
    auto [start, rest] = split_first(location);
    const std::string start_file = source_path(start, compile_dir);
    auto [begin_text, tail] = split_first(rest);
    const int begin = line_of(begin_text);

    node n = find_unit(name, define);
    // A variable defined again at another place of the unit (the tentative
    // definition "char *dir;" before "char *dir = 0;"), and a function or
    // variable declared again (an amalgamation repeats the prototypes of its
    // parts), keeps every text: each place is a unit of its own; uses go to the
    // first. Keeping the last place only would leave the uses between the two
    // without their declaration.
    const ProgramUnit* first = as_unit(n);
    const bool function = name.compare(0, 5, "func:") == 0;
    const bool variable = name.compare(0, 4, "var:") == 0;
    if (first && first->begin > 0 && (variable || (function && !define))) {
        n = node();
        if (const unit_entry* named = unit_entry_of(name))
            for (int id : named->ids[define]) {
                auto it = nodes.find(node(id, nullptr));
                const ProgramUnit* u = it == nodes.end() ? nullptr : as_unit(*it);
                if (u && u->begin == begin && u->start_file == start_file) n = *it;
            }
    }
    if (!n.object) n = add_unit(name, define, define);
    ProgramUnit* unit = as_unit(n);
    if (!unit) return;

    std::string end_text = tail;
    std::string file_name = start_file;
    // A definition in a user file, or under a line-marker name that names no
    // file (code a generator wrote at the unit's own level), is its unit's.
    if (define && tail.find(':') != std::string::npos &&
        (!is_system_file(start_file) || !file_exists(start_file))) {
        auto [end_part, context] = split_first(tail);
        end_text = end_part;
        file_name = source_path(context, compile_dir);
    }
    unit->begin = begin;
    unit->end = line_of(end_text);
    unit->start_file = start_file;
    unit->file_name = file_name;
}
