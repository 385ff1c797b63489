#include "crosscheck.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

// The restructurer's file names end in ".cpp.c"; the sources' names do not.
std::string source_file_name(std::string name)
{
    for (std::size_t at = name.find(".cpp.c"); at != std::string::npos; at = name.find(".cpp.c", at + 2))
        name.erase(at, 4);
    return name;
}

// "func:f:static:util.cpp.c#2" -> ("func", "f").
std::pair<std::string, std::string> split_unit_name(const std::string &unit)
{
    std::size_t colon = unit.find(':');
    if (colon == std::string::npos)
        return {};
    std::string kind = unit.substr(0, colon);
    std::string name = unit.substr(colon + 1);
    name = name.substr(0, name.find(':'));
    name = name.substr(0, name.find('#'));
    return {kind, name};
}

bool all_digits(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string tag_kind(const std::string &verb, const std::string &kind)
{
    bool definition = verb == "0";
    if (kind == "func")
        return definition ? "function" : "prototype";
    if (kind == "var")
        return definition ? "variable" : "externvar";
    if (kind == "type")
        return "typedef";
    if (kind == "enum" || kind == "struct" || kind == "union")
        return kind;
    return {};
}

// "store/item.cpp.c:12.1:18.2:ctx" -> file, begin line, end line.
bool read_location(const std::string &location, FactUnit &unit)
{
    std::vector<std::string> parts;
    std::istringstream fields(location);
    for (std::string part; std::getline(fields, part, ':');)
        parts.push_back(part);
    if (parts.size() < 3)
        return false;
    unit.key.file = source_file_name(parts[0]);
    unit.begin_line = std::atoi(parts[1].c_str());
    unit.end_line = std::atoi(parts[2].c_str());
    return true;
}

std::string describe(const UnitKey &key) { return key.kind + " " + key.name + " " + key.file; }

} // namespace

UnitFacts read_facts(std::istream &in)
{
    UnitFacts facts;
    std::string verb, subject, object;
    while (in >> verb >> subject >> object) {
        auto [kind, name] = split_unit_name(subject);
        if (verb == "0" || verb == "1") {
            if (kind == "func")
                facts.functions.insert(name);
            FactUnit unit;
            unit.key.kind = tag_kind(verb, kind);
            unit.key.name = name;
            if (!unit.key.kind.empty() && !all_digits(name) && read_location(object, unit)) {
                facts.units.push_back(unit);
                if (kind == "func" && verb == "0")
                    facts.definition_files[name] = unit.key.file;
            }
        } else if (verb == "2") {
            auto [used_kind, used_name] = split_unit_name(object);
            if (kind == "func" && used_kind == "func")
                facts.calls.emplace(name, used_name);
        }
    }
    return facts;
}

std::vector<TagUnit> read_ctags(std::istream &in)
{
    static const std::set<std::string> unit_kinds{"function", "prototype", "variable", "externvar",
                                                  "typedef",  "enum",      "struct",   "union"};
    std::vector<TagUnit> tags;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');)
            fields.push_back(field);
        if (fields.size() < 4 || !unit_kinds.count(fields[0]))
            continue;
        bool scoped = fields.size() > 4 && !fields[4].empty();
        if (scoped || fields[1].rfind("__anon", 0) == 0)
            continue;
        tags.push_back(TagUnit{UnitKey{fields[0], fields[1], fields[3]}, std::atoi(fields[2].c_str())});
    }
    return tags;
}

std::set<std::pair<std::string, std::string>> read_cflow(std::istream &in)
{
    std::set<std::pair<std::string, std::string>> calls;
    std::string caller;
    for (std::string line; std::getline(in, line);) {
        std::size_t indent = line.find_first_not_of(' ');
        std::size_t paren = line.find("()");
        if (indent == std::string::npos || paren == std::string::npos)
            continue;
        std::string name = line.substr(indent, paren - indent);
        if (indent == 0)
            caller = name;
        else if (!caller.empty())
            calls.emplace(caller, name);
    }
    return calls;
}

CrossCheck cross_check(const UnitFacts &facts, const std::vector<TagUnit> &tags,
                       const std::set<std::pair<std::string, std::string>> &cflow_calls,
                       const std::set<std::string> &files)
{
    CrossCheck check;
    std::multimap<UnitKey, const TagUnit *> open;
    for (const TagUnit &tag : tags) {
        open.emplace(tag.key, &tag);
        ++check.tags;
    }
    for (const FactUnit &fact : facts.units) {
        if (!files.count(fact.key.file))
            continue;
        ++check.facts;
        auto range = open.equal_range(fact.key);
        auto hit = std::find_if(range.first, range.second, [&](const auto &entry) {
            return entry.second->line >= fact.begin_line && entry.second->line <= fact.end_line;
        });
        if (hit == range.second) {
            check.node_mismatches.push_back("no ctags entry for " + describe(fact.key) + " at " +
                                            std::to_string(fact.begin_line) + "-" + std::to_string(fact.end_line));
            continue;
        }
        ++check.matched;
        if (hit->second->line == fact.begin_line)
            ++check.exact_begin;
        open.erase(hit);
    }
    for (const auto &[key, tag] : open)
        check.node_mismatches.push_back("no fact for ctags " + describe(key) + " at " + std::to_string(tag->line));
    for (const auto &call : cflow_calls) {
        if (!facts.functions.count(call.second))
            continue;
        ++check.calls;
        if (facts.calls.count(call))
            ++check.calls_found;
        else
            check.call_mismatches.push_back("no fact for the call " + call.first + " -> " + call.second);
    }
    for (const auto &call : facts.calls) {
        auto defined = facts.definition_files.find(call.first);
        if (defined == facts.definition_files.end() || !files.count(defined->second))
            continue;
        if (!cflow_calls.count(call))
            check.extra_calls.push_back(call.first + " -> " + call.second);
    }
    return check;
}

std::string summary_line(const std::string &unit, const CrossCheck &check)
{
    std::ostringstream line;
    line << "unit=" << unit << " facts=" << check.facts << " ctags=" << check.tags << " matched=" << check.matched
         << " exact_begin=" << check.exact_begin << " node_mismatches=" << check.node_mismatches.size()
         << " calls=" << check.calls << " calls_found=" << check.calls_found
         << " call_mismatches=" << check.call_mismatches.size() << " extra_calls=" << check.extra_calls.size();
    return line.str();
}
