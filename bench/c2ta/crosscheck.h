// Cross-check of one unit's facts against two independent tools: the program
// units Universal Ctags lists for the unit's own files, and the calls GNU cflow
// lists for the unit's main file. Neither tool evaluates preprocessor
// conditions, so what they find on lines the compiler did not see (the
// preprocessed text shows which) is counted apart, not as a mismatch.
#pragma once

#include <istream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// A program unit as both sides can name it.
struct unit_key {
    std::string kind; // ctags kind name: function, prototype, variable, externvar, typedef, enum,
                      // struct, union
    std::string name;
    std::string file;
    bool operator<(const unit_key& other) const {
        return std::tie(kind, name, file) < std::tie(other.kind, other.name, other.file);
    }
};

struct fact_unit {
    unit_key key;
    int begin_line = 0;
    int end_line = 0;
};

struct tag_unit {
    unit_key key;
    int line = 0;
};

struct unit_facts {
    std::vector<fact_unit> units;                        // node facts (verbs 0 and 1)
    std::set<std::pair<std::string, std::string>> calls; // "2" facts from a function to a function
    std::set<std::string> functions;    // every function the unit declares or defines
    std::vector<fact_unit> definitions; // function definitions ("0" facts)
};

// A call as cflow's cross-reference lists it.
struct call_site {
    std::string callee;
    std::string file;
    int line = 0;
};

// The text of every line of a preprocessed unit that holds text, by (file,
// line) of its line markers.
using active_lines = std::map<std::pair<std::string, int>, std::string>;

// Reads a fact file. Names lose their ":static:" part and "#" counter, file
// names their ".cpp.c" rewriting; anonymous aggregates (named by number) are
// left out, since ctags names them differently.
unit_facts read_facts(std::istream& in);
// Reads `ctags -x --_xformat='%K|%N|%n|%F|%s'` output: kind, name, line, file,
// scope. Entries inside a scope (members, nested types) and anonymous ones
// are left out, as are kinds that are not program units (macros, members,
// enumerators).
std::vector<tag_unit> read_ctags(std::istream& in);
// Reads `cflow -x` output: every line "name file:line" (definitions, marked
// "*", are left out).
std::vector<call_site> read_cflow(std::istream& in);
// Reads a preprocessed unit (`cc -E` output).
active_lines read_active_lines(std::istream& in);

struct crosscheck_result {
    int facts = 0;         // node facts on the files ctags read
    int tags = 0;          // ctags units on compiled lines
    int tags_inactive = 0; // ctags units on lines the preprocessor left out
    int matched = 0;     // pairs of the same kind, name and file whose extent holds the ctags line
    int exact_begin = 0; // of those, pairs whose first lines are equal
    // Pairs of the same name and file, the ctags line inside the fact's extent,
    // where ctags took another kind (it reads "int (f) (void);" or a prototype
    // written with macros as a variable, for one).
    int kind_differs = 0;
    // A fact and a ctags entry on one declaration where ctags took another
    // identifier for the name (a macro or a parenthesised name before it).
    int ctags_misread = 0;
    std::vector<std::string> node_mismatches;
    // Facts whose lines in the preprocessed unit do not hold the unit's name:
    // the restructurer would cut the wrong text.
    std::vector<std::string> cut_mismatches;
    int calls = 0; // cflow calls on compiled lines to functions the unit declares
    int calls_found = 0;
    int calls_inactive = 0;  // cflow calls on lines the preprocessor left out
    int calls_in_macros = 0; // cflow calls whose name a macro removed from the compiled line
    int calls_recursive =
        0; // a function calling itself: the extractor never writes a use of oneself
    std::vector<std::string> call_mismatches;
    // "2" facts from functions defined in the compared files that cflow does
    // not list (functions used by address, calls that macros write).
    std::vector<std::string> extra_calls;
};

// files: the files ctags read (facts on other files are not compared).
crosscheck_result cross_check(const unit_facts& facts, const std::vector<tag_unit>& tags,
                              const std::vector<call_site>& call_sites, const active_lines& active,
                              const std::set<std::string>& files);

// One summary line: unit name and every counter as key=value.
std::string summary_line(const std::string& unit, const crosscheck_result& check);
