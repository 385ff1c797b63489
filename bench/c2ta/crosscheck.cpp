#include "crosscheck.h"

#include "contract/fact_kind.h"
#include "contract/fact_line.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

// The restructurer's file names end in ".cpp.c"; the sources' names do not.
std::string source_file_name(std::string name) {
    for (std::size_t at = name.find(".cpp.c"); at != std::string::npos;
         at = name.find(".cpp.c", at + 2))
        name.erase(at, 4);
    return name;
}

// "func:f:static:util.cpp.c#2" -> ("func", "f").
std::pair<std::string, std::string> split_unit_name(const std::string& unit) {
    std::size_t colon = unit.find(':');
    if (colon == std::string::npos) return {};
    std::string kind = unit.substr(0, colon);
    std::string name = unit.substr(colon + 1);
    name = name.substr(0, name.find(':'));
    name = name.substr(0, name.find('#'));
    return {kind, name};
}

bool all_digits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string tag_kind(int verb, const std::string& kind) {
    bool definition = verb == fact_kind::definition;
    if (kind == "func") return definition ? "function" : "prototype";
    if (kind == "var") return definition ? "variable" : "externvar";
    if (kind == "type") return "typedef";
    if (kind == "enum" || kind == "struct" || kind == "union") return kind;
    return {};
}

// "store/item.cpp.c:12.1:18.2:ctx" -> file, begin line, end line.
bool read_location(const std::string& location, fact_unit& unit) {
    std::vector<std::string> parts;
    std::istringstream fields(location);
    for (std::string part; std::getline(fields, part, ':');)
        parts.push_back(part);
    if (parts.size() < 3) return false;
    unit.key.file = source_file_name(parts[0]);
    unit.begin_line = std::atoi(parts[1].c_str());
    unit.end_line = std::atoi(parts[2].c_str());
    return true;
}

std::string describe(const unit_key& key) {
    return key.kind + " " + key.name + " " + key.file;
}

} // namespace

unit_facts read_facts(std::istream& in) {
    unit_facts facts;
    fact line_fact;
    for (std::string line; std::getline(in, line);) {
        if (!read_fact_line(line, line_fact)) continue;
        const int verb = line_fact.kind;
        auto [kind, name] = split_unit_name(line_fact.subject);
        if (verb == fact_kind::definition || verb == fact_kind::declaration) {
            if (kind == "func") facts.functions.insert(name);
            fact_unit unit;
            unit.key.kind = tag_kind(verb, kind);
            unit.key.name = name;
            if (!unit.key.kind.empty() && !all_digits(name) &&
                read_location(line_fact.object, unit)) {
                facts.units.push_back(unit);
                if (kind == "func" && verb == fact_kind::definition)
                    facts.definitions.push_back(unit);
            }
        } else if (verb == fact_kind::definition_uses) {
            auto [used_kind, used_name] = split_unit_name(line_fact.object);
            if (kind == "func" && used_kind == "func") facts.calls.emplace(name, used_name);
        }
    }
    return facts;
}

std::vector<tag_unit> read_ctags(std::istream& in) {
    static const std::set<std::string> unit_kinds{"function", "prototype", "variable", "externvar",
                                                  "typedef",  "enum",      "struct",   "union"};
    std::vector<tag_unit> tags;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');)
            fields.push_back(field);
        if (fields.size() < 4 || !unit_kinds.count(fields[0])) continue;
        bool scoped = fields.size() > 4 && !fields[4].empty();
        if (scoped || fields[1].rfind("__anon", 0) == 0) continue;
        tags.push_back(
            tag_unit{unit_key{fields[0], fields[1], fields[3]}, std::atoi(fields[2].c_str())});
    }
    return tags;
}

std::vector<call_site> read_cflow(std::istream& in) {
    std::vector<call_site> sites;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name, place;
        if (!(words >> name >> place) || place == "*") continue;
        std::size_t colon = place.rfind(':');
        if (colon == std::string::npos) continue;
        sites.push_back(
            call_site{name, place.substr(0, colon), std::atoi(place.c_str() + colon + 1)});
    }
    return sites;
}

active_lines read_active_lines(std::istream& in) {
    active_lines active;
    std::string file;
    int line = 0;
    for (std::string text; std::getline(in, text);) {
        if (text.rfind("# ", 0) == 0 && text.size() > 2 &&
            std::isdigit(static_cast<unsigned char>(text[2]))) {
            line = std::atoi(text.c_str() + 2);
            std::size_t open = text.find('"');
            std::size_t close = text.find('"', open + 1);
            if (open != std::string::npos && close != std::string::npos)
                file = text.substr(open + 1, close - open - 1);
            continue;
        }
        if (text.find_first_not_of(" \t\r") != std::string::npos)
            active.emplace(std::make_pair(file, line), text);
        ++line;
    }
    return active;
}

namespace {

// The function definition of the unit whose lines hold file:line.
const fact_unit* enclosing_definition(const unit_facts& facts, const std::string& file, int line) {
    for (const fact_unit& definition : facts.definitions)
        if (definition.key.file == file && line >= definition.begin_line &&
            line <= definition.end_line)
            return &definition;
    return nullptr;
}

bool is_active(const active_lines& active, const std::string& file, int line) {
    return active.empty() || active.count({file, line}) != 0;
}

bool is_identifier_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// True when the compiled text of file:line holds name as a whole identifier.
bool compiled_line_names(const active_lines& active, const std::string& file, int line,
                         const std::string& name) {
    auto found = active.find({file, line});
    if (found == active.end()) return active.empty();
    const std::string& text = found->second;
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        bool starts = at == 0 || !is_identifier_char(text[at - 1]);
        bool ends = at + name.size() == text.size() || !is_identifier_char(text[at + name.size()]);
        if (starts && ends) return true;
    }
    return false;
}

// True when one of the compiled lines first..last of file names name.
bool lines_name(const active_lines& active, const std::string& file, int first, int last,
                const std::string& name) {
    if (active.empty()) return true;
    for (int line = first; line <= last; ++line)
        if (active.count({file, line}) && compiled_line_names(active, file, line, name))
            return true;
    return false;
}

} // namespace

crosscheck_result cross_check(const unit_facts& facts, const std::vector<tag_unit>& tags,
                              const std::vector<call_site>& call_sites, const active_lines& active,
                              const std::set<std::string>& files) {
    crosscheck_result check;
    std::multimap<unit_key, const tag_unit*> open;
    std::vector<const fact_unit*> unmatched;
    for (const tag_unit& tag : tags) {
        if (!is_active(active, tag.key.file, tag.line)) {
            ++check.tags_inactive;
            continue;
        }
        open.emplace(tag.key, &tag);
        ++check.tags;
    }
    for (const fact_unit& fact : facts.units) {
        if (!files.count(fact.key.file)) continue;
        ++check.facts;
        if (!lines_name(active, fact.key.file, fact.begin_line, fact.end_line, fact.key.name))
            check.cut_mismatches.push_back("lines " + std::to_string(fact.begin_line) + "-" +
                                           std::to_string(fact.end_line) + " of the preprocessed " +
                                           fact.key.file + " do not name " + fact.key.name);
        auto range = open.equal_range(fact.key);
        auto hit = std::find_if(range.first, range.second, [&](const auto& entry) {
            return entry.second->line >= fact.begin_line && entry.second->line <= fact.end_line;
        });
        if (hit == range.second) {
            unmatched.push_back(&fact);
            continue;
        }
        ++check.matched;
        if (hit->second->line == fact.begin_line) ++check.exact_begin;
        open.erase(hit);
    }
    for (const fact_unit* fact : unmatched) {
        auto other_kind = std::find_if(open.begin(), open.end(), [&](const auto& entry) {
            return entry.first.name == fact->key.name && entry.first.file == fact->key.file &&
                   entry.second->line >= fact->begin_line && entry.second->line <= fact->end_line;
        });
        if (other_kind != open.end()) {
            ++check.kind_differs;
            open.erase(other_kind);
            continue;
        }
        auto misread = std::find_if(open.begin(), open.end(), [&](const auto& entry) {
            return entry.first.file == fact->key.file && entry.second->line >= fact->begin_line &&
                   entry.second->line <= fact->end_line;
        });
        if (misread != open.end()) {
            ++check.ctags_misread;
            open.erase(misread);
            continue;
        }
        check.node_mismatches.push_back("no ctags entry for " + describe(fact->key) + " at " +
                                        std::to_string(fact->begin_line) + "-" +
                                        std::to_string(fact->end_line));
    }
    for (const auto& [key, tag] : open)
        check.node_mismatches.push_back("no fact for ctags " + describe(key) + " at " +
                                        std::to_string(tag->line));

    std::set<std::pair<std::string, std::string>> listed;
    for (const call_site& site : call_sites) {
        if (!facts.functions.count(site.callee)) continue;
        if (!is_active(active, site.file, site.line)) {
            ++check.calls_inactive;
            continue;
        }
        const fact_unit* caller = enclosing_definition(facts, site.file, site.line);
        if (caller == nullptr) continue;
        auto call = std::make_pair(caller->key.name, site.callee);
        listed.insert(call);
        if (call.first == call.second) {
            ++check.calls_recursive;
            continue;
        }
        if (!facts.calls.count(call) &&
            !compiled_line_names(active, site.file, site.line, site.callee)) {
            ++check.calls_in_macros;
            continue;
        }
        ++check.calls;
        if (facts.calls.count(call))
            ++check.calls_found;
        else
            check.call_mismatches.push_back("no fact for the call " + call.first + " -> " +
                                            call.second + " at " + site.file + ":" +
                                            std::to_string(site.line));
    }
    for (const fact_unit& definition : facts.definitions) {
        if (!files.count(definition.key.file)) continue;
        for (auto call = facts.calls.lower_bound({definition.key.name, ""});
             call != facts.calls.end() && call->first == definition.key.name; ++call)
            if (!listed.count(*call))
                check.extra_calls.push_back(call->first + " -> " + call->second);
    }
    return check;
}

std::string summary_line(const std::string& unit, const crosscheck_result& check) {
    std::ostringstream line;
    line << "unit=" << unit << " facts=" << check.facts << " ctags=" << check.tags
         << " ctags_inactive=" << check.tags_inactive << " matched=" << check.matched
         << " exact_begin=" << check.exact_begin << " kind_differs=" << check.kind_differs
         << " ctags_misread=" << check.ctags_misread
         << " node_mismatches=" << check.node_mismatches.size()
         << " cut_mismatches=" << check.cut_mismatches.size() << " calls=" << check.calls
         << " calls_found=" << check.calls_found << " calls_inactive=" << check.calls_inactive
         << " calls_in_macros=" << check.calls_in_macros
         << " calls_recursive=" << check.calls_recursive
         << " call_mismatches=" << check.call_mismatches.size()
         << " extra_calls=" << check.extra_calls.size();
    return line.str();
}
