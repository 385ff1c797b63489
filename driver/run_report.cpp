#include "run_report.h"

#include "bound_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

struct totals {
    text_size before, after;
    double compile_before = 0, compile_after = 0;
    int restructured = 0, compiled = 0;
};

totals sum(const run_report& report) {
    totals t;
    for (const unit_report& u : report.units) {
        t.before.lines += u.before.lines;
        t.before.bytes += u.before.bytes;
        t.after.lines += u.after.lines;
        t.after.bytes += u.after.bytes;
        t.compile_before += u.compile_before;
        t.compile_after += u.compile_after;
        t.restructured += u.restructured;
        t.compiled += u.compiled;
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
    return std::to_string(r.links_ok) + " of " + std::to_string(r.link_steps) + " made again";
}

} // namespace

std::string reduction(long before, long after) {
    if (before <= 0) return "-";
    return fixed(100.0 * (before - after) / before, 1) + "%";
}

std::string report_markdown(const run_report& r) {
    totals t = sum(r);
    std::ostringstream md;
    md << "# hdrslim report\n\n"
       << "Project: `" << r.project << "`  \nOutput: `" << r.out << "`\n\n"
       << "| | |\n|---|---|\n"
       << "| units | " << r.units.size() << " |\n"
       << "| units restructured | " << t.restructured << " |\n"
       << "| rewritten units compiled | " << t.compiled << " |\n"
       << "| new headers | " << r.new_headers << " |\n"
       << "| programs and libraries of the project's build | " << links_text(r) << " |\n"
       << "| check before / after | " << r.check_before << " / " << r.check_after
       << (r.check_after == "not run" ? ""
           : r.check_same_output      ? ", same output"
                                      : ", output differs")
       << " |\n"
       << "| preprocessed lines | " << t.before.lines << " -> " << t.after.lines << " ("
       << reduction(t.before.lines, t.after.lines) << " less) |\n"
       << "| preprocessed bytes | " << t.before.bytes << " -> " << t.after.bytes << " ("
       << reduction(t.before.bytes, t.after.bytes) << " less) |\n"
       << "| compile time, summed over units | " << fixed(t.compile_before) << " s -> "
       << fixed(t.compile_after) << " s |\n";
    if (r.links_known)
        md << "| the project's full build | " << fixed(r.build_seconds_before) << " s -> "
           << fixed(r.build_seconds_after) << " s |\n";
    md << "\n";

    md << "## Preprocessed size per unit\n\n"
       << "| unit | lines before | lines after | lines less | bytes before | bytes after | "
          "bytes less | compile s before | compile s after |\n"
       << "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const unit_report& u : r.units)
        md << "| " << u.name << " | " << u.before.lines << " | " << u.after.lines << " | "
           << reduction(u.before.lines, u.after.lines) << " | " << u.before.bytes << " | "
           << u.after.bytes << " | " << reduction(u.before.bytes, u.after.bytes) << " | "
           << fixed(u.compile_before, 3) << " | " << fixed(u.compile_after, 3) << " |\n";
    md << "| **total** | " << t.before.lines << " | " << t.after.lines << " | "
       << reduction(t.before.lines, t.after.lines) << " | " << t.before.bytes << " | "
       << t.after.bytes << " | " << reduction(t.before.bytes, t.after.bytes) << " | "
       << fixed(t.compile_before, 3) << " | " << fixed(t.compile_after, 3) << " |\n\n";

    md << bound_markdown(r) << coupling_markdown(r);

    if (!r.failures.empty()) {
        md << "\n## Failures\n\n";
        for (const unit_failure& f : r.failures)
            md << "- `" << f.unit << "` (" << f.step << "): " << f.message
               << "  \n  hint: " << f.hint << "  \n  log: `" << f.log << "`\n";
    }
    md << "\n## Phases\n\n| phase | seconds |\n|---|---:|\n";
    for (const auto& [phase, seconds] : r.phase_seconds)
        md << "| " << phase << " | " << fixed(seconds) << " |\n";
    return md.str();
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
                              {"lines_before", u.before.lines},
                              {"lines_after", u.after.lines},
                              {"bytes_before", u.before.bytes},
                              {"bytes_after", u.after.bytes},
                              {"compile_seconds_before", u.compile_before},
                              {"compile_seconds_after", u.compile_after}});
    j["total"] = {{"units", r.units.size()},
                  {"restructured", t.restructured},
                  {"compiled", t.compiled},
                  {"lines_before", t.before.lines},
                  {"lines_after", t.after.lines},
                  {"bytes_before", t.before.bytes},
                  {"bytes_after", t.after.bytes},
                  {"compile_seconds_before", t.compile_before},
                  {"compile_seconds_after", t.compile_after}};
    j["new_headers"] = r.new_headers;
    j["headers"] = ordered_json::array();
    for (const header_report& h : r.headers)
        j["headers"].push_back(
            {{"name", h.name}, {"units_before", h.units_before}, {"units_after", h.units_after}});
    j["links"] = {{"known", r.links_known}, {"steps", r.link_steps}, {"succeeded", r.links_ok}};
    j["build_seconds"] = {{"before", r.build_seconds_before}, {"after", r.build_seconds_after}};
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
    return j.dump(2) + "\n";
}

std::string report_svg(const run_report& r) {
    const int bar = 14, gap = 10, label_width = 220, chart_width = 520, top = 50;
    long largest = 1;
    for (const unit_report& u : r.units)
        largest = std::max({largest, u.before.bytes, u.after.bytes});
    int height = top + static_cast<int>(r.units.size()) * (2 * bar + gap) + 20;
    int width = label_width + chart_width + 120;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"10\" y=\"20\" font-size=\"15\">Preprocessed bytes per unit</text>\n"
        << "<rect x=\"" << label_width
        << "\" y=\"28\" width=\"12\" height=\"10\" "
           "fill=\"#b0b0b0\"/><text x=\""
        << label_width + 16 << "\" y=\"37\">before</text>\n"
        << "<rect x=\"" << label_width + 80
        << "\" y=\"28\" width=\"12\" height=\"10\" "
           "fill=\"#2a7ab8\"/><text x=\""
        << label_width + 96 << "\" y=\"37\">after</text>\n";
    int y = top;
    for (const unit_report& u : r.units) {
        int before = static_cast<int>(chart_width * u.before.bytes / largest);
        int after = static_cast<int>(chart_width * u.after.bytes / largest);
        svg << "<text x=\"" << label_width - 6 << "\" y=\"" << y + bar + 4
            << "\" text-anchor=\"end\">" << xml_escape(u.name) << "</text>\n"
            << "<rect x=\"" << label_width << "\" y=\"" << y << "\" width=\"" << before
            << "\" height=\"" << bar << "\" fill=\"#b0b0b0\"/>\n"
            << "<text x=\"" << label_width + before + 4 << "\" y=\"" << y + bar - 3 << "\">"
            << u.before.bytes << "</text>\n"
            << "<rect x=\"" << label_width << "\" y=\"" << y + bar << "\" width=\"" << after
            << "\" height=\"" << bar << "\" fill=\"#2a7ab8\"/>\n"
            << "<text x=\"" << label_width + after + 4 << "\" y=\"" << y + 2 * bar - 3 << "\">"
            << u.after.bytes << "</text>\n";
        y += 2 * bar + gap;
    }
    svg << "</svg>\n";
    return svg.str();
}

std::string report_table(const run_report& r) {
    totals t = sum(r);
    size_t width = 5;
    for (const unit_report& u : r.units)
        width = std::max(width, u.name.size());
    std::ostringstream out;
    char line[512];
    std::snprintf(line, sizeof line, "%-*s %10s %10s %7s %12s %12s %7s\n", static_cast<int>(width),
                  "unit", "lines", "after", "less", "bytes", "after", "less");
    out << line;
    auto row = [&](const std::string& name, const text_size& b, const text_size& a) {
        std::snprintf(line, sizeof line, "%-*s %10ld %10ld %7s %12ld %12ld %7s\n",
                      static_cast<int>(width), name.c_str(), b.lines, a.lines,
                      reduction(b.lines, a.lines).c_str(), b.bytes, a.bytes,
                      reduction(b.bytes, a.bytes).c_str());
        out << line;
    };
    for (const unit_report& u : r.units)
        row(u.name, u.before, u.after);
    row("total", t.before, t.after);
    out << "\nunits restructured: " << t.restructured << " of " << r.units.size()
        << ", compiled: " << t.compiled << ", new headers: " << r.new_headers << "\n"
        << "programs and libraries: " << links_text(r) << "\n"
        << "check before/after: " << r.check_before << " / " << r.check_after
        << (r.check_after == "not run" ? ""
            : r.check_same_output      ? " (same output)"
                                       : " (output differs)")
        << "\n"
        << "compile time summed over units: " << fixed(t.compile_before) << " s -> "
        << fixed(t.compile_after) << " s\n";
    if (r.links_known)
        out << "full build of the project: " << fixed(r.build_seconds_before) << " s -> "
            << fixed(r.build_seconds_after) << " s\n";
    out << bound_table(r);
    return out.str();
}
