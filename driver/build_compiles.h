// The project's own builds compile every unit already: the build before
// restructuring the original sources, the rebuild the rewritten ones. Their
// recorded compile steps give each unit's compile status and time, so that no
// source needs compiling again for them.
#pragma once

#include "build_capture.h"
#include "compile_unit.h"

#include <optional>
#include <string>
#include <vector>

struct unit_compile {
    bool ok = false;
    double seconds = 0.0;
};

// For each unit, how the build that ran in `build_root` compiled its source:
// the step compiling the file at the unit's place (relative to `tree`, the
// directory the units' paths lie in) into the unit's object, else the first
// compiling it at all, else a successful step compiling and linking it alone
// (its time includes the link). Nothing for a unit the build did not compile
// alone in one step that ended.
std::vector<std::optional<unit_compile>> compiles_in_build(const std::vector<build_step>& steps,
                                                           const std::string& build_root,
                                                           const std::vector<compile_unit>& units,
                                                           const std::string& tree);

// The C sources a compile step names (relative ones taken from its directory),
// without the output of its "-o".
std::vector<std::string> compiled_sources(const build_step& step);
