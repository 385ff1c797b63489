#include "run_report.h"

#include "bound_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

// Sums over the units that succeeded; the others are only counted.
struct totals {
    text_size before, after;
    origin_lines origin_before, origin_after;
    double compile_before = 0, compile_after = 0;
    int restructured = 0, compiled = 0, succeeded = 0, failed = 0;
};

void add(origin_lines& sum, const origin_lines& more) {
    sum.own += more.own;
    sum.project += more.project;
    sum.system += more.system;
}

bool succeeded(const unit_report& u) {
    return u.restructured && u.compiled;
}

totals sum(const run_report& report) {
    totals t;
    for (const unit_report& u : report.units) {
        t.restructured += u.restructured;
        t.compiled += u.compiled;
        if (!succeeded(u)) {
            ++t.failed;
            continue;
        }
        ++t.succeeded;
        t.before.lines += u.before.lines;
        t.before.bytes += u.before.bytes;
        t.after.lines += u.after.lines;
        t.after.bytes += u.after.bytes;
        add(t.origin_before, u.origin_before);
        add(t.origin_after, u.origin_after);
        t.compile_before += u.compile_before;
        t.compile_after += u.compile_after;
    }
    return t;
}

std::string fixed(double value, int decimals = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string xml_escape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string links_text(const run_report& r) {
    if (!r.links_known) return "not rebuilt (no build command; give --build)";
    std::string text =
        std::to_string(r.links_ok) + " of " + std::to_string(r.link_steps) + " made again";
    if (r.regenerated)
        text += ", but the build regenerated " + std::to_string(r.regenerated) +
                " rewritten source" + (r.regenerated > 1 ? "s" : "") +
                ", so those were built from other text";
    return text;
}

std::string check_text(const run_report& r) {
    std::string text = r.check_before + " / " + r.check_after;
    if (r.check_before == "passed" && r.check_after == "passed")
        text += r.check_same_output ? " (same output)" : " (output differs)";
    return text;
}

// The project's full build before and after; a failed build is no figure.
std::string build_time_text(const run_report& r) {
    return fixed(r.build_seconds_before) + " s -> " +
           (r.build_after_ok ? fixed(r.build_seconds_after) + " s"
                             : "failed (no figure; see the failures)");
}

std::string state_of(const run_report& r, const unit_report& u) {
    std::string state = unit_state(r, u);
    if (state.empty() && u.regenerated) return "rebuilt from a regenerated source";
    return state;
}

bool first_run_clean(const run_report& r) {
    return r.failures.empty() && r.check_after != "failed";
}

// ---- Markdown sections; each returns its own text ----

std::string what_was_done(const run_report& r, const totals& t) {
    std::ostringstream md;
    md << "## What was done\n\n"
       << "hdrslim copied the project `" << r.project << "` to `" << r.out << "/tree`";
    if (r.cleaned_outputs)
        md << " (leaving out " << r.cleaned_outputs << " outputs of an earlier build)";
    if (!r.build_command.empty()) md << ", built it there with `" << r.build_command << "`";
    md << ", and rewrote " << t.restructured << " of " << r.units.size()
       << " units so that each is compiled against only the declarations it uses. "
       << "The declarations now live in " << r.new_headers
       << " new headers (table below); every rewritten unit was compiled with its own flags";
    if (r.links_known)
        md << ", and the project's own build was run again on the rewritten sources in `" << r.out
           << "/after`";
    md << ".\n\n";
    if (!r.source_dir.empty())
        md << "**Where the result is:** `" << r.source_dir
           << "` is the project restructured as source: every unit keeps its own text and "
              "includes, instead of the project headers it used, new headers named after what "
              "they hold, written from the original files (comments, conditions and macros kept, "
              "system headers included by name). `"
           << r.patch
           << "` turns the project into it; the command that applies it ends this report. The "
              "source form's figures are in its own section, the last; the sections before it "
              "give those of the measured form, the same partition as preprocessed text: ";
    else
        md << "**Where the result is:** ";
    md << "each rewritten unit is `<unit>.cpp.new.c` beside its original in `" << r.out
       << "/tree`; the new headers are in the `include.new/` folders named below";
    if (r.links_known)
        md << "; `" << r.out << "/after` is the project with the rewritten sources in place";
    md << ".\n\n";
    if (t.failed || !r.failures.empty())
        md << "**Not everything succeeded:** " << t.failed << " of " << r.units.size()
           << " units failed and are left out of the totals; " << r.failures.size()
           << " failures are listed under Failures with their logs.\n\n";
    md << "**Next:** ";
    if (!r.failures.empty())
        md << "read the first failure and its log: `less " << r.failures.front().log << "`.";
    else if (!r.source_dir.empty())
        md << "read the patch (`less " << r.patch
           << "`) or compare a unit with its source form (`diff -u " << r.out << "/tree/"
           << (r.units.empty() ? std::string("...") : r.units.front().name) << " " << r.source_dir
           << "/" << (r.units.empty() ? std::string("...") : r.units.front().name)
           << "`), then apply it to the project with the command at the end of this report.";
    else if (!r.units.empty() && r.links_known)
        md << "compare a unit with its rewritten form (`diff -u " << r.out << "/tree/"
           << r.units.front().name << " " << r.out << "/after/" << r.units.front().name
           << "`), then build the rewritten project yourself: `cd " << r.out << "/after && "
           << r.build_command << "`.";
    else if (!r.units.empty())
        md << "look at a rewritten unit: `less " << r.out << "/tree/"
           << r.units.front().name.substr(0, r.units.front().name.size() - 2)
           << ".cpp.new.c`; give `--build` to have the project rebuilt and checked too.";
    md << "\n\n";
    return md.str();
}

std::string summary_section(const run_report& r, const totals& t) {
    std::ostringstream md;
    md << "## Summary\n\n"
       << "| | |\n|---|---|\n"
       << "| units | " << r.units.size() << " |\n"
       << "| units restructured | " << t.restructured << " |\n"
       << "| rewritten units compiled | " << t.compiled << " |\n"
       << "| units failed (not in the totals) | " << t.failed << " |\n"
       << "| new headers | " << r.new_headers << " |\n"
       << "| programs and libraries of the project's build | " << links_text(r) << " |\n"
       << "| check before / after | " << check_text(r) << " |\n"
       << "| preprocessed lines | " << t.before.lines << " -> " << t.after.lines << " ("
       << reduction(t.before.lines, t.after.lines) << " less) |\n"
       << "| preprocessed bytes | " << t.before.bytes << " -> " << t.after.bytes << " ("
       << reduction(t.before.bytes, t.after.bytes) << " less) |\n"
       << "| non-blank lines from the project's headers | " << t.origin_before.project << " -> "
       << t.origin_after.project << " ("
       << reduction(t.origin_before.project, t.origin_after.project) << " less) |\n"
       << "| non-blank lines from system headers | " << t.origin_before.system << " -> "
       << t.origin_after.system << " (" << reduction(t.origin_before.system, t.origin_after.system)
       << " less) |\n"
       << "| non-blank lines of the units' own sources | " << t.origin_before.own << " -> "
       << t.origin_after.own << " |\n"
       << "| compile time, summed over units | " << fixed(t.compile_before) << " s -> "
       << fixed(t.compile_after) << " s |\n";
    if (r.links_known) md << "| the project's full build | " << build_time_text(r) << " |\n";
    md << "\n";
    return md.str();
}

std::string units_section(const run_report& r, const totals& t) {
    std::ostringstream md;
    md << "## Preprocessed size per unit\n\n"
       << "| unit | lines before | lines after | lines less | bytes before | bytes after | "
          "bytes less | compile s before | compile s after | state |\n"
       << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const unit_report& u : r.units) {
        std::string state = state_of(r, u);
        if (!succeeded(u)) {
            md << "| " << u.name << " | " << u.before.lines << " | - | - | " << u.before.bytes
               << " | - | - | " << fixed(u.compile_before, 3) << " | - | **" << state << "** |\n";
            continue;
        }
        md << "| " << u.name << " | " << u.before.lines << " | " << u.after.lines << " | "
           << reduction(u.before.lines, u.after.lines) << " | " << u.before.bytes << " | "
           << u.after.bytes << " | " << reduction(u.before.bytes, u.after.bytes) << " | "
           << fixed(u.compile_before, 3) << " | " << fixed(u.compile_after, 3) << " | "
           << (state.empty() ? "ok" : state) << " |\n";
    }
    md << "| **total of " << t.succeeded << " units** | " << t.before.lines << " | "
       << t.after.lines << " | " << reduction(t.before.lines, t.after.lines) << " | "
       << t.before.bytes << " | " << t.after.bytes << " | "
       << reduction(t.before.bytes, t.after.bytes) << " | " << fixed(t.compile_before, 3) << " | "
       << fixed(t.compile_after, 3) << " | |\n\n";
    return md.str();
}

std::string new_headers_section(const run_report& r) {
    std::ostringstream md;
    md << "## New headers\n\n"
       << "| new header | declarations | taken from | units including it |\n"
       << "|---|---:|---|---:|\n";
    for (const new_header_report& h : r.new_header_list) {
        md << "| " << h.name << " | " << h.declarations << " | ";
        for (size_t i = 0; i < h.origins.size(); ++i)
            md << (i ? ", " : "") << h.origins[i];
        md << " | " << h.units << " |\n";
    }
    md << "\n";
    return md.str();
}

std::string failures_section(const run_report& r) {
    if (r.failures.empty()) return "";
    std::ostringstream md;
    md << "## Failures\n\n";
    for (const unit_failure& f : r.failures)
        md << "- `" << f.unit << "` (" << f.step << "): " << f.message << "  \n  hint: " << f.hint
           << "  \n  log: `" << f.log << "`\n";
    md << "\n";
    return md.str();
}

std::string phases_section(const run_report& r) {
    std::ostringstream md;
    md << "## Phases\n\n| phase | seconds |\n|---|---:|\n";
    for (const auto& [phase, seconds] : r.phase_seconds)
        md << "| " << phase << " | " << fixed(seconds) << " |\n";
    return md.str();
}

nlohmann::ordered_json origin_json(const origin_lines& o) {
    return {{"own", o.own}, {"project_headers", o.project}, {"system_headers", o.system}};
}

} // namespace

std::string unit_state(const run_report& r, const unit_report& u) {
    if (succeeded(u)) return "";
    for (const unit_failure& f : r.failures)
        if (f.unit == u.name) return "failed: " + f.step;
    return u.restructured ? "failed: compile" : "failed: restructure";
}

std::string reduction(long before, long after) {
    if (before <= 0) return "-";
    return fixed(100.0 * (before - after) / before, 1) + "%";
}

std::string report_markdown(const run_report& r) {
    totals t = sum(r);
    return "# hdrslim report\n\n" + what_was_done(r, t) + summary_section(r, t) +
           failures_section(r) + new_headers_section(r) + units_section(r, t) + bound_markdown(r) +
           coupling_markdown(r) + phases_section(r);
}

std::string report_json(const run_report& r) {
    using nlohmann::ordered_json;
    ordered_json j;
    totals t = sum(r);
    j["project"] = r.project;
    j["output"] = r.out;
    j["units"] = ordered_json::array();
    for (const unit_report& u : r.units)
        j["units"].push_back({{"name", u.name},
                              {"restructured", u.restructured},
                              {"compiled", u.compiled},
                              {"regenerated", u.regenerated},
                              {"state", succeeded(u) ? "ok" : unit_state(r, u)},
                              {"lines_before", u.before.lines},
                              {"lines_after", u.after.lines},
                              {"bytes_before", u.before.bytes},
                              {"bytes_after", u.after.bytes},
                              {"origin_before", origin_json(u.origin_before)},
                              {"origin_after", origin_json(u.origin_after)},
                              {"compile_seconds_before", u.compile_before},
                              {"compile_seconds_after", u.compile_after}});
    // Sizes and times are summed over the units that succeeded only.
    j["total"] = {{"units", r.units.size()},
                  {"restructured", t.restructured},
                  {"compiled", t.compiled},
                  {"succeeded", t.succeeded},
                  {"failed", t.failed},
                  {"lines_before", t.before.lines},
                  {"lines_after", t.after.lines},
                  {"bytes_before", t.before.bytes},
                  {"bytes_after", t.after.bytes},
                  {"origin_before", origin_json(t.origin_before)},
                  {"origin_after", origin_json(t.origin_after)},
                  {"compile_seconds_before", t.compile_before},
                  {"compile_seconds_after", t.compile_after}};
    j["new_headers"] = r.new_headers;
    j["new_header_list"] = ordered_json::array();
    for (const new_header_report& h : r.new_header_list)
        j["new_header_list"].push_back({{"name", h.name},
                                        {"declarations", h.declarations},
                                        {"origins", h.origins},
                                        {"units", h.units}});
    j["headers"] = ordered_json::array();
    for (const header_report& h : r.headers)
        j["headers"].push_back(
            {{"name", h.name}, {"units_before", h.units_before}, {"units_after", h.units_after}});
    j["cleaned_outputs"] = r.cleaned_outputs;
    j["links"] = {{"known", r.links_known},
                  {"steps", r.link_steps},
                  {"succeeded", r.links_ok},
                  {"regenerated_sources", r.regenerated}};
    j["build_seconds"] = {
        {"before", r.build_seconds_before},
        {"after", r.build_after_ok ? ordered_json(r.build_seconds_after) : ordered_json(nullptr)}};
    j["compiled_apart_from_builds"] = r.compiled_again;
    j["check"] = {
        {"before", r.check_before}, {"after", r.check_after}, {"same_output", r.check_same_output}};
    j["failures"] = ordered_json::array();
    for (const unit_failure& f : r.failures)
        j["failures"].push_back({{"unit", f.unit},
                                 {"step", f.step},
                                 {"message", f.message},
                                 {"hint", f.hint},
                                 {"log", f.log}});
    j["phases"] = ordered_json::array();
    for (const auto& [phase, seconds] : r.phase_seconds)
        j["phases"].push_back({{"phase", phase}, {"seconds", seconds}});
    add_bound_json(j, r);
    // Log excerpts and file names are the project's bytes, not always UTF-8:
    // an invalid sequence is written as U+FFFD instead of aborting the report.
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// One row a unit, sorted by saving (largest first), failed units last in red.
// With many units only the ends of that order are drawn, so that the chart keeps
// a readable row height and a bounded size; report.md lists every unit.
std::string report_svg(const run_report& r) {
    const int row = 18, bar = 12, chart_width = 480, top = 56, shown_at_each_end = 30;
    std::vector<const unit_report*> order;
    for (const unit_report& u : r.units)
        order.push_back(&u);
    auto saving = [](const unit_report* u) {
        return u->before.bytes > 0 ? double(u->before.bytes - u->after.bytes) / u->before.bytes
                                   : 0.0;
    };
    std::stable_sort(order.begin(), order.end(), [&](const unit_report* a, const unit_report* b) {
        if (succeeded(*a) != succeeded(*b)) return succeeded(*a);
        return saving(a) > saving(b);
    });
    size_t hidden = 0;
    if (order.size() > 2 * shown_at_each_end + 1) {
        hidden = order.size() - 2 * shown_at_each_end;
        order.erase(order.begin() + shown_at_each_end, order.end() - shown_at_each_end);
    }
    size_t longest = 10;
    long largest = 1;
    for (const unit_report* u : order) {
        longest = std::max(longest, u->name.size());
        largest = std::max({largest, u->before.bytes, u->after.bytes});
    }
    const int label_width = static_cast<int>(longest) * 7 + 16; // names are never cut
    int rows = static_cast<int>(order.size()) + (hidden ? 1 : 0);
    int height = top + rows * row + 20;
    int width = label_width + chart_width + 170;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"10\" y=\"20\" font-size=\"15\">Preprocessed bytes per unit, largest saving "
           "first</text>\n"
        << "<rect x=\"" << label_width
        << "\" y=\"30\" width=\"12\" height=\"10\" fill=\"#b0b0b0\"/>"
        << "<text x=\"" << label_width + 16 << "\" y=\"39\">before</text>\n"
        << "<rect x=\"" << label_width + 70
        << "\" y=\"30\" width=\"12\" height=\"10\" "
           "fill=\"#2a7ab8\"/><text x=\""
        << label_width + 86 << "\" y=\"39\">after</text>\n"
        << "<rect x=\"" << label_width + 130
        << "\" y=\"30\" width=\"12\" height=\"10\" "
           "fill=\"#c0392b\"/><text x=\""
        << label_width + 146 << "\" y=\"39\">failed (not restructured or not compiled)</text>\n";
    int y = top;
    for (size_t k = 0; k < order.size(); ++k) {
        if (hidden && k == static_cast<size_t>(shown_at_each_end)) {
            svg << "<text x=\"" << label_width << "\" y=\"" << y + bar << "\" fill=\"#555\">... "
                << hidden << " units in the middle of the order not drawn (see report.md)</text>\n";
            y += row;
        }
        const unit_report& u = *order[k];
        int before = static_cast<int>(chart_width * u.before.bytes / largest);
        int after = static_cast<int>(chart_width * u.after.bytes / largest);
        bool ok = succeeded(u);
        svg << "<text x=\"" << label_width - 6 << "\" y=\"" << y + bar - 1
            << "\" text-anchor=\"end\"" << (ok ? "" : " fill=\"#c0392b\"") << ">"
            << xml_escape(u.name) << "</text>\n"
            << "<rect x=\"" << label_width << "\" y=\"" << y << "\" width=\"" << before
            << "\" height=\"" << bar << "\" fill=\"" << (ok ? "#b0b0b0" : "#e6b0aa") << "\"/>\n";
        if (ok)
            svg << "<rect x=\"" << label_width << "\" y=\"" << y + 3 << "\" width=\"" << after
                << "\" height=\"" << bar - 6 << "\" fill=\"#2a7ab8\"/>\n"
                << "<text x=\"" << label_width + before + 4 << "\" y=\"" << y + bar - 1 << "\">"
                << reduction(u.before.bytes, u.after.bytes) << " less</text>\n";
        else
            svg << "<text x=\"" << label_width + before + 4 << "\" y=\"" << y + bar - 1
                << "\" fill=\"#c0392b\">" << xml_escape(state_of(r, u)) << "</text>\n";
        y += row;
    }
    svg << "</svg>\n";
    return svg.str();
}

size_t unit_name_width(const run_report& r) {
    size_t width = 5; // "total"
    for (const unit_report& u : r.units)
        width = std::max(width, u.name.size());
    return width;
}

std::string report_table(const run_report& r) {
    totals t = sum(r);
    const size_t width = unit_name_width(r);
    std::ostringstream out;
    char line[1024];
    std::snprintf(line, sizeof line, "%-*s %10s %10s %7s %12s %12s %7s\n", static_cast<int>(width),
                  "unit", "lines", "after", "less", "bytes", "after", "less");
    out << line;
    for (const unit_report& u : r.units) {
        if (!succeeded(u)) {
            std::snprintf(line, sizeof line, "%-*s %10ld %10s %7s %12ld %12s %7s  %s\n",
                          static_cast<int>(width), u.name.c_str(), u.before.lines, "-", "-",
                          u.before.bytes, "-", "-", state_of(r, u).c_str());
        } else {
            std::snprintf(line, sizeof line, "%-*s %10ld %10ld %7s %12ld %12ld %7s%s\n",
                          static_cast<int>(width), u.name.c_str(), u.before.lines, u.after.lines,
                          reduction(u.before.lines, u.after.lines).c_str(), u.before.bytes,
                          u.after.bytes, reduction(u.before.bytes, u.after.bytes).c_str(),
                          u.regenerated ? "  rebuilt from a regenerated source" : "");
        }
        out << line;
    }
    std::snprintf(line, sizeof line, "%-*s %10ld %10ld %7s %12ld %12ld %7s\n",
                  static_cast<int>(width), "total", t.before.lines, t.after.lines,
                  reduction(t.before.lines, t.after.lines).c_str(), t.before.bytes, t.after.bytes,
                  reduction(t.before.bytes, t.after.bytes).c_str());
    out << line;
    out << "\nunits restructured: " << t.restructured << " of " << r.units.size()
        << ", compiled: " << t.compiled << ", failed: " << t.failed
        << (t.failed ? " (left out of the totals)" : "") << ", new headers: " << r.new_headers
        << "\n"
        << "project-header lines (non-blank): " << t.origin_before.project << " -> "
        << t.origin_after.project << ", system-header lines: " << t.origin_before.system << " -> "
        << t.origin_after.system << "\n"
        << "programs and libraries: " << links_text(r) << "\n"
        << "check before/after: " << check_text(r) << "\n"
        << "compile time summed over units: " << fixed(t.compile_before) << " s -> "
        << fixed(t.compile_after) << " s\n";
    if (r.links_known) out << "full build of the project: " << build_time_text(r) << "\n";
    out << bound_table(r);
    out << (first_run_clean(r) ? "\nresult: every unit restructured and compiled"
                               : "\nresult: " + std::to_string(r.failures.size()) +
                                     " failures (listed below and in report.md)")
        << "\n";
    return out.str();
}
