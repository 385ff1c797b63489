// What the fact files tell the source form: where each unit of the facts ends,
// what it is and declares, and which file includes which; and the file names
// they use, made normal.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// `path` made normal (lexically), remembered: every unit's facts name the same
// headers again, and a large project has millions of such names.
const std::string& normal(const std::string& path);

// The preprocessed copy of a unit (x.cpp.c) stands for its source (x.c).
std::string source_of(const std::string& file);

// What the facts tell of one unit (a declaration or definition of the facts).
struct unit_facts {
    int end = 0;                 // its last line
    std::set<std::string> kinds; // func, var, type, ...
    std::string name;            // the first name it declares
    std::set<std::string> names; // every name it declares
};

// Everything the facts tell: where each unit ends, what it is, who includes what.
struct fact_index {
    std::map<std::pair<std::string, int>, unit_facts> units;  // (file, begin) -> its facts
    std::map<std::string, std::vector<std::string>> includes; // file -> files it includes
    std::set<std::string> unit_files;                         // files holding a unit
    std::map<std::string, std::set<std::pair<std::string, int>>> declared; // name -> units
};

// Reads one fact file into `facts`. Every unit's facts repeat the headers they
// share, so the words are cut in place rather than through streams.
// Relative file names are taken in `directory`, the unit's compile directory.
void read_facts(const std::string& path, const std::string& directory, fact_index& facts);
