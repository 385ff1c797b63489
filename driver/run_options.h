// The command line of `hdrslim run`.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct run_options {
    std::string project_dir;   // the user's project; never written to
    std::string out_dir;       // where the copy, the restructured tree and the report go
    std::string build_command; // optional: run under bear to get the compile commands
    std::string check_command; // optional: the project's own test command (needs --build)
    std::string db_dir;        // -p DIR: the folder holding compile_commands.json
    int jobs = 0;              // parallel jobs; 0 until parsed (then the number of cores)
    bool quiet = false;
    // The source form (DIR/source, DIR/hdrslim.patch): written, built, checked and
    // reported beside the measured form unless --form measured asks for the
    // measured form alone.
    bool source_form = true;
};

// Parses the arguments that follow "run". On a bad command line returns nothing
// and sets `error` to a one-line message.
std::optional<run_options> parse_run_options(const std::vector<std::string>& args,
                                             std::string& error);

// The compile database a run without --build reads: DIR/compile_commands.json for
// -p DIR, else the project's own, else the one in its build/ folder (CMake's usual
// place). "" when there is none.
std::string find_compile_db(const run_options& options);

// The default output directory: beside the project, named after it.
std::string default_out_dir(const std::string& project_dir);

extern const char* const run_usage;
