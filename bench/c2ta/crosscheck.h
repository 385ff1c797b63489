// Cross-check of one unit's facts against two independent tools: the program
// units Universal Ctags lists for the unit's own files, and the calls GNU cflow
// lists for the unit's main file.
#pragma once

#include <istream>
#include <map>
#include <set>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

// A program unit as both sides can name it.
struct UnitKey {
    std::string kind; // ctags kind name: function, prototype, variable, externvar, typedef, enum, struct, union
    std::string name;
    std::string file;
    bool operator<(const UnitKey &other) const
    {
        return std::tie(kind, name, file) < std::tie(other.kind, other.name, other.file);
    }
};

struct FactUnit {
    UnitKey key;
    int begin_line = 0;
    int end_line = 0;
};

struct TagUnit {
    UnitKey key;
    int line = 0;
};

struct UnitFacts {
    std::vector<FactUnit> units;                           // node facts (verbs 0 and 1)
    std::set<std::pair<std::string, std::string>> calls;   // "2" facts from a function to a function
    std::set<std::string> functions;                       // every function the unit declares or defines
    std::map<std::string, std::string> definition_files;   // function -> file of its definition
};

// Reads a fact file. Names lose their ":static:" part and "#" counter, file
// names their ".cpp.c" rewriting; anonymous aggregates (named by number) are
// left out, since ctags names them differently.
UnitFacts read_facts(std::istream &in);
// Reads `ctags -x --_xformat='%K|%N|%n|%F|%s'` output: kind, name, line, file,
// scope. Entries inside a scope (members, nested types) and anonymous ones
// are left out, as are kinds that are not program units (macros, members,
// enumerators).
std::vector<TagUnit> read_ctags(std::istream &in);
// Reads `cflow -A -A --omit-arguments --omit-symbol-names -d 2` output: every
// caller at column 0 and its direct callees one level in.
std::set<std::pair<std::string, std::string>> read_cflow(std::istream &in);

struct CrossCheck {
    int facts = 0;          // node facts on the files ctags read
    int tags = 0;           // ctags units
    int matched = 0;        // pairs of the same kind, name and file whose extent holds the ctags line
    int exact_begin = 0;    // of those, pairs whose first lines are equal
    std::vector<std::string> node_mismatches;
    int calls = 0;          // cflow calls to functions the unit declares
    int calls_found = 0;
    std::vector<std::string> call_mismatches;
    // "2" facts from functions defined in the compared files that cflow does
    // not list (functions used by address, calls that macros write).
    std::vector<std::string> extra_calls;
};

// files: the files ctags read (facts on other files are not compared).
CrossCheck cross_check(const UnitFacts &facts, const std::vector<TagUnit> &tags,
                       const std::set<std::pair<std::string, std::string>> &cflow_calls,
                       const std::set<std::string> &files);

// One summary line: unit name and every counter as key=value.
std::string summary_line(const std::string &unit, const CrossCheck &check);
