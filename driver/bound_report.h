// The parts of the report about the lower bound and about how units are tied to
// headers: sections of report.md, entries of report.json, lines of the terminal
// table.
#pragma once

#include "run_report.h"

#include <nlohmann/json.hpp>
#include <string>

std::string bound_markdown(const run_report& report);
std::string coupling_markdown(const run_report& report);
std::string bound_table(const run_report& report);
// Adds "bound" and "coupling" to the report, and the per-unit and per-header
// figures to its "units" and "headers" (in the order of report.units and
// report.headers).
void add_bound_json(nlohmann::ordered_json& json, const run_report& report);

// after / bound with two decimals, "-" without a bound; also any other ratio of
// line counts (the source form's project-header text over the measured form's).
std::string bound_ratio(long after, long bound);
