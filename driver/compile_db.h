// Reading the project's compile_commands.json into compile units.
#pragma once

#include "compile_unit.h"

#include <string>
#include <vector>

struct compile_db_result {
    std::vector<compile_unit> units;  // sorted by name, one per C source
    std::vector<std::string> skipped; // one line per entry that is not used, with why
    std::string error;                // set when the file cannot be used at all
};

// Reads `db_path`. Paths inside `project` are mapped into `tree` (the copy);
// entries whose source lies outside the project are skipped, since their outputs
// would have to be written next to the user's files.
compile_db_result read_compile_db(const std::string& db_path, const std::string& project,
                                  const std::string& tree);

// The skipped entries, one line per reason ("3 sources: not a C source (a.cc,
// b.cc, c.cc)"), each source named once: configure scripts compile conftest.c
// dozens of times.
std::vector<std::string> skipped_summary(const std::vector<std::string>& skipped);

// Splits a shell command line into words (quotes and backslashes as /bin/sh reads
// them, no expansions).
std::vector<std::string> split_command(const std::string& command);

// The arguments with every response file (`@file`, relative to `directory`)
// replaced by the words it holds, read as GCC reads them (blanks separate,
// quotes and backslashes as in the shell; a file may name another). An `@word`
// that names no readable file stays as it is, as the compiler keeps it.
std::vector<std::string> expand_response_files(const std::vector<std::string>& args,
                                               const std::string& directory);

// Keeps what matters for preprocessing and compiling one source elsewhere: drops
// the source, "-c", "-o FILE", dependency-file options (also inside "-Wp,"), and
// every option that makes the compiler write a file of its own (dumps, profiles,
// listings, saved temporaries), and makes the paths of path-taking options
// absolute against `directory`. Reports the "-o" target.
std::vector<std::string> normalize_flags(const std::vector<std::string>& args,
                                         const std::string& directory, const std::string& source,
                                         std::string& object);
