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
    // The directories of its -I and -iquote options, in order, as the flags
    // write them.
    std::vector<std::string> include_dirs() const {
        std::vector<std::string> dirs;
        for (size_t i = 0; i < flags.size(); ++i) {
            const std::string& flag = flags[i];
            std::string dir;
            if ((flag == "-I" || flag == "-iquote") && i + 1 < flags.size())
                dir = flags[++i];
            else if (flag.rfind("-I", 0) == 0 && flag.size() > 2)
                dir = flag.substr(2);
            else if (flag.rfind("-iquote", 0) == 0 && flag.size() > 7)
                dir = flag.substr(7);
            if (!dir.empty()) dirs.push_back(dir);
        }
        return dirs;
    }
    // The source's further commands whose compiler, directory or flags differ
    // from this one's, each once.
    std::vector<compile_variant> variants;
};
