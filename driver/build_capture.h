// Running the project's own build under bear, so that its compile commands and its
// link and archive steps are known; replaying those steps later links the
// restructured objects exactly the way the project links its own.
#pragma once

#include "process.h"

#include <string>
#include <vector>

struct build_step {
    enum class kind { compile, link, archive };
    kind what = kind::link;
    std::vector<std::string> argv;
    std::string cwd;
    std::string output; // the "-o" target of a link, the archive of an archive step
    // How the step ended, from the build's record: its exit status and wall time
    // (from its start to its end, as bear saw them).
    bool finished = false;
    int status = -1;
    double seconds = 0.0;
};

struct captured_build {
    process_result result;
    std::string compile_db;        // the compile_commands.json bear wrote
    std::vector<build_step> steps; // compile, link and archive steps in the order they ran
};

// Runs `command` with /bin/sh in `dir` under `bear intercept`; its log, events and
// compile database go to `work`, named after `name` ("build", "build-after").
// Every build of a run goes through bear, so that their times compare.
captured_build capture_build(const std::string& command, const std::string& dir,
                             const std::string& work, const std::string& name);

// The compile, link and archive steps recorded in a bear events file.
std::vector<build_step> read_build_steps(const std::string& events_path);

// Classifies one executed command; false when it is neither a compiler driver nor
// an archiver call that matters (preprocessing only, a tool's own sub-process).
bool classify_step(const std::vector<std::string>& argv, build_step& step);
