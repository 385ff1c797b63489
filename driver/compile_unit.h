// One C translation unit of the project, as its compile command describes it,
// rewritten to point into the working copy.
#pragma once

#include "contract/unit_files.h"

#include <string>
#include <vector>

// A further command that compiles the same source with other flags (a library
// and a program that each compile it, with their own macros).
struct compile_variant {
    std::string directory;
    std::string compiler;
    std::vector<std::string> flags; // normalized like compile_unit::flags
};

struct compile_unit {
    std::string source;    // absolute path of the C file in the copy
    std::string directory; // absolute directory the compile command runs in
    std::string compiler;  // the compiler program of the compile command
    // The command's flags without the source, "-c", "-o FILE" and dependency-file
    // options; every path-taking option holds an absolute path.
    std::vector<std::string> flags;
    std::string object; // absolute path of the object it builds ("" when unknown)
    std::string stem;   // `source` without ".c": base of .cpp.c, .ta, .rsf, .cpp.new.c

    std::string preprocessed() const { return preprocessed_source_of(stem); }
    std::string dump() const { return dump_file_of(stem); }
    std::string facts() const { return fact_file_of(stem); }
    std::string rewritten() const { return rewritten_source_of(stem); }
    // The name of the unit in messages and the report: its path inside the project.
    std::string name;
    // The source's further commands whose compiler, directory or flags differ
    // from this one's, each once.
    std::vector<compile_variant> variants;
};
