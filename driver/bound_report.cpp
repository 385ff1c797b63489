#include "bound_report.h"

#include <cstdio>
#include <sstream>

namespace {

struct bound_totals {
    int counted = 0;
    long before = 0, after = 0, bound = 0;
    std::vector<const unit_report*> not_compiled;
};

bound_totals sum_bounds(const run_report& r) {
    bound_totals t;
    for (const unit_report& u : r.units) {
        if (!u.bound_compiles) {
            t.not_compiled.push_back(&u);
            continue;
        }
        ++t.counted;
        t.before += u.before.lines;
        t.after += u.after.lines;
        t.bound += u.bound.lines;
    }
    return t;
}

std::string mean(long total, size_t count, int decimals = 1) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals,
                  count ? static_cast<double>(total) / count : 0.0);
    return text;
}

std::string why_not(const unit_report& u) {
    return u.bound_computed ? "does not compile" : "not computed";
}

} // namespace

std::string bound_ratio(long after, long bound) {
    if (bound <= 0) return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(after) / bound);
    return text;
}

std::string bound_markdown(const run_report& r) {
    bound_totals t = sum_bounds(r);
    std::ostringstream md;
    md << "## Lower bound\n\n"
       << "The smallest preprocessed text of each unit: its own code and only the header "
          "declarations it needs, a struct or union used only through pointers by its tag "
          "alone. `lowerbound` computes it from the original unit, independently of the "
          "restructurer, and it is compiled with the unit's own flags; lines are counted as "
          "before and after (`-E -P`).\n\n"
       << "| unit | lines before | lines after | lower bound | after ÷ bound |\n"
       << "|---|---:|---:|---:|---:|\n";
    for (const unit_report& u : r.units)
        if (u.bound_compiles)
            md << "| " << u.name << " | " << u.before.lines << " | " << u.after.lines << " | "
               << u.bound.lines << " | " << bound_ratio(u.after.lines, u.bound.lines) << " |\n";
    md << "| **total** (" << t.counted << " units) | " << t.before << " | " << t.after << " | "
       << t.bound << " | " << bound_ratio(t.after, t.bound) << " |\n";
    if (!t.not_compiled.empty()) {
        md << "\nNot counted, their lower bound " << (t.not_compiled.size() == 1 ? "is" : "are")
           << " missing:\n\n";
        for (const unit_report* u : t.not_compiled)
            md << "- `" << u->name << "`: " << why_not(*u)
               << (u->bound_log.empty() ? "" : "; log: `" + u->bound_log + "`") << "\n";
    }
    md << "\n";
    return md.str();
}

namespace {
// Headers read, summed over the units: before and after.
std::pair<long, long> headers_read_sums(const run_report& r) {
    long before = 0, after = 0;
    for (const unit_report& u : r.units) {
        before += u.headers_read_before;
        after += u.headers_read_after;
    }
    return {before, after};
}
} // namespace

std::string coupling_markdown(const run_report& r) {
    std::ostringstream md;
    const auto [before, after] = headers_read_sums(r);
    md << "## Headers each unit reads\n\n"
       << "Project headers the original unit's preprocessing reads; project or generated "
          "headers the rewritten unit's reads.\n\n"
       << "| unit | before | after |\n|---|---:|---:|\n";
    for (const unit_report& u : r.units)
        md << "| " << u.name << " | " << u.headers_read_before << " | " << u.headers_read_after
           << " |\n";
    md << "| **mean** | " << mean(before, r.units.size()) << " | " << mean(after, r.units.size())
       << " |\n\n";
    return md.str();
}

std::string bound_table(const run_report& r) {
    bound_totals t = sum_bounds(r);
    const size_t width = unit_name_width(r);
    std::ostringstream out;
    char line[512];
    std::snprintf(line, sizeof line, "\n%-*s %10s %10s %10s %11s\n", static_cast<int>(width),
                  "unit", "lines", "after", "bound", "after/bound");
    out << line;
    auto row = [&](const std::string& name, long before, long after, long bound) {
        std::snprintf(line, sizeof line, "%-*s %10ld %10ld %10ld %11s\n", static_cast<int>(width),
                      name.c_str(), before, after, bound, bound_ratio(after, bound).c_str());
        out << line;
    };
    for (const unit_report& u : r.units)
        if (u.bound_compiles) row(u.name, u.before.lines, u.after.lines, u.bound.lines);
    row("total", t.before, t.after, t.bound);
    if (!t.not_compiled.empty()) {
        out << "lower bound missing, not counted:";
        for (const unit_report* u : t.not_compiled)
            out << " " << u->name << " (" << why_not(*u) << ")";
        out << "\n";
    }
    const auto [before, after] = headers_read_sums(r);
    out << "headers read per unit, mean: " << mean(before, r.units.size()) << " before, "
        << mean(after, r.units.size()) << " after\n";
    return out.str();
}

void add_bound_json(nlohmann::ordered_json& j, const run_report& r) {
    using nlohmann::ordered_json;
    bound_totals t = sum_bounds(r);
    for (size_t i = 0; i < r.units.size() && i < j["units"].size(); ++i) {
        const unit_report& u = r.units[i];
        ordered_json& unit = j["units"][i];
        unit["bound_compiles"] = u.bound_compiles;
        unit["lines_bound"] = u.bound_compiles ? ordered_json(u.bound.lines) : ordered_json();
        unit["bytes_bound"] = u.bound_compiles ? ordered_json(u.bound.bytes) : ordered_json();
        unit["headers_read_before"] = u.headers_read_before;
        unit["headers_read_after"] = u.headers_read_after;
    }
    for (size_t i = 0; i < r.headers.size() && i < j["headers"].size(); ++i)
        j["headers"][i]["units_bound"] = r.headers[i].units_bound;
    ordered_json missing = ordered_json::array();
    for (const unit_report* u : t.not_compiled)
        missing.push_back({{"unit", u->name}, {"why", why_not(*u)}, {"log", u->bound_log}});
    j["bound"] = {
        {"total",
         {{"units", t.counted},
          {"lines_before", t.before},
          {"lines_after", t.after},
          {"lines_bound", t.bound},
          {"after_over_bound",
           t.bound > 0 ? ordered_json(static_cast<double>(t.after) / t.bound) : ordered_json()}}},
        {"not_counted", missing}};
    const auto [before, after] = headers_read_sums(r);
    size_t n = r.units.size();
    j["coupling"] = {{"headers_read_per_unit_before", n ? static_cast<double>(before) / n : 0.0},
                     {"headers_read_per_unit_after", n ? static_cast<double>(after) / n : 0.0}};
}
