// The source form's part of the report: whether it built and passed the check,
// the preprocessed lines of every unit split into the project's header text and
// the system's beside the measured form's, the headers no unit includes any more
// and the command that applies the patch.
#pragma once

#include <string>
#include <vector>

struct source_unit_figures {
    std::string name;
    bool measured = false;   // the unit was restructured and measured
    long project_before = 0; // project-header lines of the original
    long project_measured = 0;
    long project_source = 0;
    long system_before = 0;
    long system_measured = 0;
    long system_source = 0;
    // The unit's own text: a header private to one source (a table) that the
    // measured form copies into the rewritten source stays included in the
    // source form, so its lines move from here to the project's headers.
    long own_measured = 0;
    long own_source = 0;
};

struct source_form_summary {
    bool written = false;
    std::string error;
    std::string dir, patch, project;
    // Where the project lies inside a git work tree: git apply run there takes
    // the patch's names from the work tree's top, so they need it prepended.
    std::string git_prefix;
    std::string build = "not run"; // "passed", "failed", "not run"
    std::string check = "not run";
    bool same_output = true;
    std::vector<std::string> new_headers;        // relative to dir
    std::vector<std::string> no_longer_included; // original headers
    std::vector<source_unit_figures> units;
};

std::string source_form_markdown(const source_form_summary& s);
// The same figures as JSON (DIR/source_form.json), for scripts.
std::string source_form_json(const source_form_summary& s);
// report.json's text with the same figures added under "source_form".
std::string with_source_form(const std::string& report_json, const source_form_summary& s);
// A few lines for the terminal: the totals of the table, the headers no unit
// includes any more, and last the command that applies the patch.
std::string source_form_terminal(const source_form_summary& s);
