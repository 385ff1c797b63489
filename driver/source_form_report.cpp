#include "source_form_report.h"

#include "bound_report.h"
#include "process.h"

#include <nlohmann/json.hpp>

namespace {

std::string apply_command(const source_form_summary& s) {
    return "cd " + shell_quote(s.project) + " && git apply " +
           (s.git_prefix.empty() ? "" : shell_quote("--directory=" + s.git_prefix) + " ") +
           shell_quote(s.patch);
}

// The six figures of a unit in the order of the tables.
const char* const figure_names[6] = {"project_before", "project_measured", "project_source",
                                     "system_before",  "system_measured",  "system_source"};

void figures_of(const source_unit_figures& u, long v[6]) {
    v[0] = u.project_before;
    v[1] = u.project_measured;
    v[2] = u.project_source;
    v[3] = u.system_before;
    v[4] = u.system_measured;
    v[5] = u.system_source;
}

// The figures summed over the units that were restructured and measured.
void totals_of(const source_form_summary& s, long totals[6]) {
    for (int k = 0; k < 6; ++k)
        totals[k] = 0;
    for (const source_unit_figures& u : s.units) {
        if (!u.measured) continue;
        long v[6];
        figures_of(u, v);
        for (int k = 0; k < 6; ++k)
            totals[k] += v[k];
    }
}

nlohmann::ordered_json summary_object(const source_form_summary& s) {
    nlohmann::ordered_json j;
    j["written"] = s.written;
    j["error"] = s.error;
    j["dir"] = s.dir;
    j["patch"] = s.patch;
    j["apply"] = s.written ? apply_command(s) : "";
    j["build"] = s.build;
    j["check"] = s.check;
    j["same_output"] = s.same_output;
    j["new_headers"] = s.new_headers;
    j["no_longer_included"] = s.no_longer_included;
    nlohmann::ordered_json units = nlohmann::ordered_json::array();
    for (const source_unit_figures& u : s.units) {
        nlohmann::ordered_json unit;
        unit["name"] = u.name;
        unit["measured"] = u.measured;
        long v[6];
        figures_of(u, v);
        for (int k = 0; k < 6; ++k)
            unit[figure_names[k]] = v[k];
        unit["own_measured"] = u.own_measured;
        unit["own_source"] = u.own_source;
        units.push_back(unit);
    }
    j["units"] = units;
    long totals[6];
    totals_of(s, totals);
    for (int k = 0; k < 6; ++k)
        j["total"][figure_names[k]] = totals[k];
    return j;
}

std::string list_or_none(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ", ") + n;
    return text.empty() ? "none" : text;
}

} // namespace

std::string source_form_markdown(const source_form_summary& s) {
    std::string md = "\n## Source form\n\n";
    if (!s.written) return md + "Not written: " + s.error + "\n";
    md += "The restructured tree as source (original text, macros, conditions, system headers "
          "by name): `" +
          s.dir + "`. Build: " + s.build + "; check: " + s.check +
          (s.check == "passed" && !s.same_output ? " (different output)" : "") + ".\n\n";
    md += "Preprocessed non-blank lines per unit from project headers and from system headers "
          "(original / measured form / source form), counted alike in every form: header "
          "declarations written into a source count as header text, and a file included "
          "inside a declaration (a table in a function's body) as that declaration's:\n\n";
    md += "| unit | project before | project measured | project source | source ÷ measured | "
          "system before | system measured | system source |\n"
          "|---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const source_unit_figures& u : s.units) {
        if (!u.measured) {
            md += "| " + u.name + " | not restructured | | | | | | |\n";
            continue;
        }
        long v[6];
        figures_of(u, v);
        md += "| " + u.name;
        for (int k = 0; k < 6; ++k) {
            md += " | " + std::to_string(v[k]);
            if (k == 2) md += " | " + bound_ratio(v[2], v[1]);
        }
        md += " |\n";
    }
    long totals[6];
    totals_of(s, totals);
    md += "| total";
    for (int k = 0; k < 6; ++k) {
        md += " | " + std::to_string(totals[k]);
        if (k == 2) md += " | " + bound_ratio(totals[2], totals[1]);
    }
    md += " |\n\nNew headers: " + std::to_string(s.new_headers.size()) + "\n\n";
    for (const std::string& h : s.new_headers)
        md += "- `" + h + "`\n";
    md += "\nOriginal headers no unit includes any more (they stay in the tree for outside "
          "users):\n\n";
    for (const std::string& h : s.no_longer_included)
        md += "- `" + h + "`\n";
    if (s.no_longer_included.empty()) md += "- none\n";
    md += "\nApply it to the project:\n\n    " + apply_command(s) + "\n";
    return md;
}

std::string source_form_terminal(const source_form_summary& s) {
    if (!s.written) return "\nsource form: not written: " + s.error + "\n";
    long t[6];
    totals_of(s, t);
    return "\nsource form: " + s.dir + " (build " + s.build + ", check " + s.check +
           (s.check == "passed" && !s.same_output ? ", different output" : "") + "), " +
           std::to_string(s.new_headers.size()) + " new headers\n" +
           "  project-header lines (non-blank): " + std::to_string(t[0]) + " before, " +
           std::to_string(t[1]) + " measured form, " + std::to_string(t[2]) + " source form\n" +
           "  system-header lines (non-blank):  " + std::to_string(t[3]) + " before, " +
           std::to_string(t[4]) + " measured form, " + std::to_string(t[5]) + " source form\n" +
           "  original headers no unit includes any more: " + list_or_none(s.no_longer_included) +
           "\napply it: " + apply_command(s) + "\n";
}

std::string source_form_json(const source_form_summary& s) {
    return summary_object(s).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string with_source_form(const std::string& report_json, const source_form_summary& s) {
    nlohmann::ordered_json j = nlohmann::ordered_json::parse(report_json);
    j["source_form"] = summary_object(s);
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}
