// What one included header or one program unit contributes to a generated
// file: an include line (or the header's expansion), or the unit's text behind
// a line marker pointing at its original place.
#include "header/graph.h"

#include <cctype>
#include <iostream>
#include <set>

namespace {
bool ends_with(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool identifier_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The "struct X;" or "union X;" line at `pos` of a unit's text, or "".
std::string forward_line_at(const std::string& text, std::size_t pos) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) return "";
    const std::string line = text.substr(pos, end - pos + 1);
    const std::size_t blank = line.find(' ');
    if (!(starts_with(line, "struct ") || starts_with(line, "union ")) || line.size() < 3 ||
        line[line.size() - 2] != ';')
        return "";
    for (std::size_t i = blank + 1; i + 2 < line.size(); ++i)
        if (!identifier_char(line[i])) return "";
    return line;
}

// The tags "struct X;\n" a typedef declares at file scope by naming them.
void tags_named_by_typedef(const std::string& text, std::set<std::string>& tags) {
    if (text.find("typedef") == std::string::npos) return;
    for (const char* kind : {"struct ", "union "}) {
        const std::size_t length = std::char_traits<char>::length(kind);
        for (std::size_t at = text.find(kind); at != std::string::npos;
             at = text.find(kind, at + length)) {
            if (at > 0 && identifier_char(text[at - 1])) continue;
            std::size_t end = at + length;
            while (end < text.size() && identifier_char(text[end]))
                ++end;
            if (end > at + length)
                tags.insert(std::string(kind) + text.substr(at + length, end - at - length) +
                            ";\n");
        }
    }
}
// Where the unit's own text begins in `text`: after the forward declarations
// ("struct X;" lines) and the blank lines ahead of it.
std::size_t own_text_start(const std::string& text) {
    std::size_t pos = 0;
    for (;;) {
        const std::string forward = forward_line_at(text, pos);
        if (!forward.empty()) {
            pos += forward.size();
            continue;
        }
        const std::size_t end = text.find('\n', pos);
        if (end == std::string::npos || text.find_first_not_of(" \t\r", pos) < end) return pos;
        pos = end + 1;
    }
}
} // namespace

// The forward declarations ahead of a unit's text ("struct list;") are written
// once per file, and not at all once a typedef of the file or the structure
// itself has declared the tag.
std::string graph::without_repeated_forward_declarations(const std::string& text) {
    std::size_t pos = 0;
    std::string kept;
    for (std::string line = forward_line_at(text, pos); !line.empty();
         line = forward_line_at(text, pos)) {
        if (declared_tags.insert(line).second) kept += line;
        pos += line.size();
    }
    return pos == 0 ? text : kept + text.substr(pos);
}

void graph::S_codegen(std::string& text, node& n) {
    const bool tracing = config.accept("debug S_codegen");
    if (n.is_header() && compressed) {
        const std::string included = get_new_header_filename(get_filename(n));
        if (!included.empty()) {
            if (compressed_leaves_reached(n) < 2) {
                N_codegen(text, n);
            } else {
                text += "#include \"" + included + "\"\n";
                // What the header declares needs no forward declaration after
                // it (a header written later is not known here: it keeps them).
                auto tags = tags_of_header.find(n.id);
                if (tags != tags_of_header.end())
                    declared_tags.insert(tags->second.begin(), tags->second.end());
            }
        }
    } else if (const ProgramUnit* unit = as_unit(n)) {
        if (!emitted_units.count(n)) {
            std::string t = without_repeated_forward_declarations(unit_texts[n.id]);
            if (unit->is_aggr()) declared_tags.insert(get_forward_type(unit->name));
            if (starts_with(unit->name, "type:")) tags_named_by_typedef(t, declared_tags);
            if (unit->begin > 0 && !t.empty()) {
                const std::string file =
                    graph::marker_file(unit->is_define() ? unit->start_file : unit->file());
                std::string marker = "# " + std::to_string(unit->begin) + " \"" + file + "\"";
                marker += tracing ? "\n/*" + unit->toString() + "*/\n" : "\n";
                if (tracing)
                    std::cout << "debug S_codegen"
                              << ":" << t << std::endl;
                // The marker names the line of the unit's own first line, so the
                // forward declarations and blank lines ahead of it go before it.
                // A unit that is itself a forward declaration keeps its marker
                // in front.
                std::size_t own = own_text_start(t);
                if (own == t.size()) own = 0;
                t = t.substr(0, own) + marker + t.substr(own);
            }
            // A type name whose text is not its typedef (it was read as part of
            // another unit's statement) adds nothing.
            if (!starts_with(unit->name, "type:") || t.find("typedef") != std::string::npos) {
                // The unit is written inside the state pragmas in effect where
                // it stood; one written right after a unit under the same state
                // stays inside it.
                const pragma_wrap& pragmas = unit->pragmas;
                if (!pragmas.empty() && !t.empty()) {
                    if (pragmas == last_pragmas && text.size() == last_pragmas_end &&
                        ends_with(text, pragmas.close))
                        text.erase(text.size() - pragmas.close.size());
                    else
                        text += pragmas.open;
                    t += pragmas.close;
                }
                text += t;
                last_pragmas = pragmas;
                last_pragmas_end = text.size();
            }
            emitted_units.insert(n);
        }
    }
    if (tracing)
        std::cout << "debug S_codegen"
                  << ":" << n << std::endl;
}
