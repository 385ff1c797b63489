// What one included header or one program unit contributes to a generated
// file: an include line (or the header's expansion), or the unit's text behind
// a line marker pointing at its original place.
#include "header/graph.h"

#include <iostream>

namespace {
bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

void graph::S_codegen(std::string& text, node& n) {
    const bool tracing = config.accept("debug S_codegen");
    if (n.is_header() && compressed) {
        const std::string included = get_new_header_filename(get_filename(n));
        if (!included.empty()) {
            if (compressed_leaves_reached(n) < 2)
                N_codegen(text, n);
            else
                text += "#include \"" + included + "\"\n";
        }
    } else if (const ProgramUnit* unit = as_unit(n)) {
        if (!emitted_units.count(n)) {
            std::string t = unit_texts[n.id];
            if (unit->begin > 0 && !t.empty()) {
                const std::string& file = unit->is_define() ? unit->start_file : unit->file();
                std::string marker = "# " + std::to_string(unit->begin) + " \"" + file + "\"";
                marker += tracing ? "\n/*" + unit->toString() + "*/\n" : "\n";
                if (tracing)
                    std::cout << "debug S_codegen"
                              << ":" << t << std::endl;
                t = marker + t;
            }
            // A type name whose text is not its typedef (it was read as part of
            // another unit's statement) adds nothing.
            if (!starts_with(unit->name, "type:") || t.find("typedef") != std::string::npos)
                text += t;
            emitted_units.insert(n);
        }
    }
    if (tracing)
        std::cout << "debug S_codegen"
                  << ":" << n << std::endl;
}
