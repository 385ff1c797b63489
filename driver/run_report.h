// What a run found, and its three renderings: Markdown, JSON and an SVG chart,
// plus the summary printed on the terminal. Totals count only the units that were
// restructured and compiled; the others are marked in every rendering and
// counted apart.
#pragma once

#include "text_measure.h"
#include "unit_jobs.h"

#include <string>
#include <utility>
#include <vector>

// Non-blank preprocessed lines by where they come from.
struct origin_lines {
    long own = 0;     // the unit's own source
    long project = 0; // the project's headers
    long system = 0;  // system headers
};

struct unit_report {
    std::string name;
    bool restructured = false; // a rewritten source was written
    bool compiled = false;     // and it compiled
    bool regenerated = false;  // the project's build made the source again over it
    text_size before;          // preprocessed with -E -P, original source
    text_size after;           // the same for the rewritten source
    origin_lines origin_before, origin_after;
    double compile_before = 0; // seconds
    double compile_after = 0;
    // The lower bound of the unit (lower_bound_step.h); counted only when it
    // compiled.
    bool bound_computed = false;
    bool bound_compiles = false;
    text_size bound;
    std::string bound_log;
    // Project headers the original unit's preprocessing reads, and project or
    // generated headers the rewritten unit's reads.
    int headers_read_before = 0;
    int headers_read_after = 0;
};

// Units whose preprocessed text holds declarations from a project header.
struct header_report {
    std::string name;     // path inside the project
    int units_before = 0; // the original units
    int units_after = 0;  // the rewritten units, with their generated headers
    int units_bound = 0;  // the units' lower bounds
};

// A header the restructurer wrote.
struct new_header_report {
    std::string name;                 // path inside the output directory
    int declarations = 0;             // top-level declarations and definitions it holds
    std::vector<std::string> origins; // the original headers (and sources) they came from
    int units = 0;                    // units whose rewritten source includes it
};

struct run_report {
    std::string project;
    std::string out;
    std::string build_command; // "" when the compile commands came from a file
    std::string check_command;
    std::vector<unit_report> units;
    std::vector<header_report> headers;
    std::vector<new_header_report> new_header_list;
    int new_headers = 0;
    int cleaned_outputs = 0;              // outputs of an earlier build removed from the copy
    int regenerated = 0;                  // rewritten sources the rebuild made again
    int link_steps = 0;                   // programs and libraries the project's build makes
    int links_ok = 0;                     // of which the build of the rewritten sources made too
    bool links_known = false;             // false without a captured build
    bool build_after_ok = false;          // the project's build succeeded on the rewritten sources
    double build_seconds_before = 0;      // the project's full build, original sources
    double build_seconds_after = 0;       // the same build, rewritten sources
    std::string check_before = "not run"; // "passed", "failed", "not run"
    std::string check_after = "not run";
    bool check_same_output = false; // the check printed the same before and after
    std::vector<unit_failure> failures;
    std::vector<std::pair<std::string, double>> phase_seconds;
    // The source form (DIR/source) and the patch that turns the project into it:
    // what the run hands over. "" when it was not written (--form measured, or
    // it failed).
    std::string source_dir, patch;
    // Sources compiled apart from the project's builds: those the builds did not
    // compile, or whose compile failed in the rebuild; the other units' compile
    // figures are those of the builds' own compiles.
    int compiled_again = 0;
};

std::string report_markdown(const run_report& report);
std::string report_json(const run_report& report);
std::string report_svg(const run_report& report);
std::string report_table(const run_report& report);
// Width of the unit column of the terminal tables: the longest unit name.
size_t unit_name_width(const run_report& report);

// "" for a unit that was restructured and compiled, else what failed
// ("failed: compile").
std::string unit_state(const run_report& report, const unit_report& unit);

// Percentage of reduction from `before` to `after`, "-" when there is no before.
std::string reduction(long before, long after);
