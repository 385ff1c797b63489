#include "writer.h"

#include <iostream>
#include <set>

namespace {

std::ostream* facts_out = &std::cout;
std::ostream* warnings_out = &std::cerr;
std::set<std::string> warned;

bool has_white_space(std::string_view s) {
    return s.find_first_of(" \t\n\v\f\r") != std::string_view::npos;
}

// Names the entity whose fact is dropped; each text is reported once.
void warn_blank(std::string_view subject, std::string_view object) {
    std::string text = "extractor: warning: ";
    if (has_white_space(subject)) {
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

std::string replace_filename(std::string_view s) {
    if (s.find(".cpp.") != std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    std::size_t from = 0;
    for (std::size_t at = s.find(".c"); at != std::string_view::npos; at = s.find(".c", from)) {
        std::size_t after = at + 2;
        bool ends_file = after == s.size() || s[after] == ':' || s[after] == '#';
        out.append(s.substr(from, at - from));
        out.append(ends_file ? ".cpp.c" : ".c");
        from = after;
    }
    out.append(s.substr(from));
    return out;
}

void output_line(std::string_view verb, std::string_view subject, std::string_view object) {
    if (verb.empty() || subject.empty() || object.empty() || subject == object) return;
    if (has_white_space(subject) || has_white_space(object)) {
        warn_blank(subject, object);
        return;
    }
    std::ostream& out = *facts_out;
    out << verb << ' ' << replace_filename(subject) << ' ' << replace_filename(object) << '\n';
}

void finish_output() {
    facts_out->flush();
    warned.clear();
}
