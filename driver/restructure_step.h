// Running the restructurer over every unit's facts, and reading back what it made:
// the include options its makefile compiles with and the new headers it lists.
#pragma once

#include "compile_unit.h"
#include "process.h"

#include <map>
#include <string>
#include <vector>

struct restructure_result {
    process_result run;
    std::string dir;                        // its working directory (Makefile.gen, include.new/)
    std::vector<std::string> include_flags; // "-I<dir>" options for the rewritten sources
    std::vector<std::string> new_headers;   // absolute paths of the headers it wrote
    std::string log;
    // Per preprocessed source (<unit>.cpp.c): the program units whose text the
    // restructurer found nowhere in it ("func:gen /dir/sub/gen.y:1").
    std::map<std::string, std::vector<std::string>> lost_texts;
};

// The restructurer's "Warning: text not found: <unit> <file:line> (<path>)"
// lines of a log text, by preprocessed source.
std::map<std::string, std::vector<std::string>> read_lost_texts(const std::string& log);

// Runs the restructurer in `dir` with "-I" for the project's include directories
// (those inside `tree`), "-M" for the tree, and the fact files of `units`.
restructure_result run_restructurer(const std::string& restructurer,
                                    const std::vector<compile_unit>& units, const std::string& tree,
                                    const std::string& dir);

// The include directories of the units that lie inside `tree`, in order, once each.
std::vector<std::string> project_include_dirs(const std::vector<compile_unit>& units,
                                              const std::string& tree);

// Reads the compile line and the HEADERS list of a Makefile.gen text; relative
// names are taken relative to `dir`.
void read_generated_makefile(const std::string& text, const std::string& dir,
                             std::vector<std::string>& include_flags,
                             std::vector<std::string>& headers);
