#include "source_form_report.h"

#include "process.h"

#include <nlohmann/json.hpp>

namespace {

std::string apply_command(const source_form_summary& s) {
    return "cd " + shell_quote(s.project) + " && git apply " + shell_quote(s.patch);
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
          "(original / measured form / source form):\n\n";
    md += "| unit | project before | project measured | project source | system before | "
          "system measured | system source |\n|---|---:|---:|---:|---:|---:|---:|\n";
    long totals[6] = {0, 0, 0, 0, 0, 0};
    for (const source_unit_figures& u : s.units) {
        if (!u.measured) {
            md += "| " + u.name + " | not restructured | | | | | |\n";
            continue;
        }
        long v[6] = {u.project_before, u.project_measured, u.project_source,
                     u.system_before,  u.system_measured,  u.system_source};
        md += "| " + u.name;
        for (int k = 0; k < 6; ++k) {
            md += " | " + std::to_string(v[k]);
            totals[k] += v[k];
        }
        md += " |\n";
    }
    md += "| total";
    for (long t : totals)
        md += " | " + std::to_string(t);
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
    long before = 0, measured = 0, source = 0;
    for (const source_unit_figures& u : s.units)
        if (u.measured) {
            before += u.project_before;
            measured += u.project_measured;
            source += u.project_source;
        }
    return "\nsource form: " + s.dir + " (build " + s.build + ", check " + s.check +
           "); project-header lines: " + std::to_string(before) + " before, " +
           std::to_string(measured) + " measured form, " + std::to_string(source) +
           " source form\napply it: " + apply_command(s) + "\n";
}

std::string source_form_json(const source_form_summary& s) {
    nlohmann::ordered_json j;
    j["written"] = s.written;
    j["error"] = s.error;
    j["dir"] = s.dir;
    j["patch"] = s.patch;
    j["build"] = s.build;
    j["check"] = s.check;
    j["same_output"] = s.same_output;
    j["new_headers"] = s.new_headers;
    j["no_longer_included"] = s.no_longer_included;
    long totals[6] = {0, 0, 0, 0, 0, 0};
    nlohmann::ordered_json units = nlohmann::ordered_json::array();
    for (const source_unit_figures& u : s.units) {
        nlohmann::ordered_json unit;
        unit["name"] = u.name;
        unit["measured"] = u.measured;
        long v[6] = {u.project_before, u.project_measured, u.project_source,
                     u.system_before,  u.system_measured,  u.system_source};
        const char* names[6] = {"project_before", "project_measured", "project_source",
                                "system_before",  "system_measured",  "system_source"};
        for (int k = 0; k < 6; ++k) {
            unit[names[k]] = v[k];
            if (u.measured) totals[k] += v[k];
        }
        unit["own_measured"] = u.own_measured;
        unit["own_source"] = u.own_source;
        units.push_back(unit);
    }
    j["units"] = units;
    const char* names[6] = {"project_before", "project_measured", "project_source",
                            "system_before",  "system_measured",  "system_source"};
    for (int k = 0; k < 6; ++k)
        j["total"][names[k]] = totals[k];
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}
