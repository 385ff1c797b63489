#include "writer.h"

#include "contract/fact_line.h"
#include "contract/unit_files.h"

#include <iostream>
#include <set>
#include <utility>

namespace {

std::ostream* facts_out = &std::cout;
std::ostream* warnings_out = &std::cerr;
std::set<std::string> warned;
std::vector<std::string> main_files;
std::set<use_fact> uses;

// Names the entity whose fact is dropped; each text is reported once.
void warn_blank(std::string_view subject, std::string_view object) {
    std::string text = "extractor: warning: ";
    if (!fits_fact_line(subject)) {
        text += "name \"";
        text += subject;
        text += "\" holds white space, its facts are dropped";
    } else {
        text += "\"";
        text += object;
        text += "\" of ";
        text += subject;
        text += " holds white space, fact dropped";
    }
    if (warned.insert(text).second) *warnings_out << text << "\n";
}

} // namespace

void set_fact_streams(std::ostream& facts, std::ostream& warnings) {
    facts_out = &facts;
    warnings_out = &warnings;
}

void set_main_files(std::vector<std::string> names) {
    main_files = std::move(names);
}

std::string replace_filename(std::string_view s, const std::vector<std::string>& mains) {
    std::string out(s);
    for (const std::string& m : mains) {
        bool c_file = m.size() > 2 && m.compare(m.size() - 2, 2, ".c") == 0;
        if (!c_file || is_preprocessed_source(m)) continue;
        const std::string copy = preprocessed_source_of(m.substr(0, m.size() - 2));
        for (std::size_t at = out.find(m); at != std::string::npos; at = out.find(m, at + 1)) {
            std::size_t after = at + m.size();
            bool starts = at == 0 || out[at - 1] == ':';
            bool ends = after == out.size() || out[after] == ':' || out[after] == '#';
            if (!starts || !ends) continue;
            out.replace(at, m.size(), copy);
            at += copy.size() - 1;
        }
    }
    return out;
}

void output_line(int kind, std::string_view subject, std::string_view object) {
    if (subject.empty() || object.empty() || subject == object) return;
    if (!fits_fact_line(subject) || !fits_fact_line(object)) {
        warn_blank(subject, object);
        return;
    }
    if (kind == fact_kind::definition_uses || kind == fact_kind::declaration_uses)
        uses.insert(use_fact{kind, std::string(subject), std::string(object)});
    write_fact_line(*facts_out, kind, replace_filename(subject, main_files),
                    replace_filename(object, main_files));
}

void finish_output() {
    facts_out->flush();
    warned.clear();
    main_files.clear();
    uses.clear();
}

const std::set<use_fact>& written_uses() {
    return uses;
}
