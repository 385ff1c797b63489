// The per-unit front half of the pipeline: preprocess into <unit>.cpp.c, write the
// TA dump with c2ta (several units a process), and the facts with the extractor. The steps of all
// units go into one generated makefile that `make -k -j N` runs, so that an existing engine does
// the scheduling (and could spread it over machines); the driver follows the lines the recipes
// print.
#pragma once

#include "compile_unit.h"
#include "progress.h"
#include "toolchain.h"

#include <string>
#include <vector>

struct unit_failure {
    std::string unit;    // unit name
    std::string step;    // "preprocess", "parse", "extract", "compile"
    std::string message; // the tool's own words (first lines of its log)
    std::string hint;
    std::string log; // path of the full log
};

// Text of the makefile for `units`; logs and stamps go into `dir`, named by the
// units' `numbers` (N.pp, N.parse.log, N.bound.c, ...). Each unit is preprocessed
// on its own; c2ta parses up to `batch_size` units sharing their directory and
// flags in one process, and writes each one's TA dump and lower bound.
std::string units_makefile(const std::vector<compile_unit>& units,
                           const std::vector<size_t>& numbers, const toolchain& tools,
                           const std::string& dir, size_t batch_size);

// How many units one c2ta process takes, for `units` units and `jobs` jobs.
size_t unit_batch_size(size_t units, int jobs);

// Writes and runs the makefile in `dir`. Returns the failures; `ok[i]` tells
// whether unit i has its facts.
std::vector<unit_failure> run_unit_jobs(const std::vector<compile_unit>& units,
                                        const std::vector<size_t>& numbers, const toolchain& tools,
                                        const std::string& dir, int jobs, progress& shown,
                                        std::vector<bool>& ok);

// The first lines of a log, for messages.
std::string log_excerpt(const std::string& path, int max_lines = 6);

// What to try when `step` failed.
std::string hint_for(const std::string& step);
