// Synthetic C projects shaped like large real code bases, written the way the
// restructurer reads a real run: for every unit its fact file and its
// preprocessed source (<unit>.cpp.c, line markers kept). Every unit includes one
// umbrella header that includes all the project's headers (as vim.h or a
// kernel's common headers do), so each fact file declares every shared unit and
// each preprocessed source holds the whole umbrella's text; the unit's own
// functions use a part of it, mostly from the headers its directory favours.
#pragma once

#include <string>
#include <vector>

struct project_shape {
    int units = 1000;          // source files
    int units_per_module = 50; // sources per directory
    int headers = 60;          // headers under the umbrella
    int decls_per_header = 20; // shared units per header
    int functions_per_unit = 10;
    int uses_per_function = 6;
};

struct generated_project {
    std::string root;                    // the project's directory
    std::string include_dir;             // its "-I" directory
    std::vector<std::string> fact_files; // in unit order
    long facts = 0;                      // fact lines over all files
    long lines = 0;                      // preprocessed lines over all units
};

// Writes the project below `root` (created if missing): inc/ with the umbrella
// and its headers, src/m<k>/u<n>.c with, beside each, u<n>.cpp.c and u<n>.rsf.
// The same shape always gives the same files.
generated_project generate_project(const std::string& root, const project_shape& shape);
