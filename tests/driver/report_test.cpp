// The report counts only what succeeded, marks and counts the rest apart, and
// never shows a failed build as a figure.
#include "run_report.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

unit_report unit(const std::string& name, bool restructured, bool compiled, long before,
                 long after) {
    unit_report u;
    u.name = name;
    u.restructured = restructured;
    u.compiled = compiled;
    u.before = {before, before * 40};
    u.after = restructured ? text_size{after, after * 40} : u.before;
    u.compile_before = 1.0;
    u.compile_after = compiled ? 0.5 : 0.0;
    return u;
}

run_report sample() {
    run_report r;
    r.project = "/p";
    r.out = "/o";
    r.build_command = "make";
    r.units = {
        unit("a.c", true, true, 1000, 100), unit("b.c", true, false, 2000, 5),
        unit("src/a_rather_long_directory_name/with_a_long_unit_name.c", false, false, 3000, 3000)};
    r.failures = {{"b.c", "compile", "error", "hint", "/o/work/units/1.compile.log"},
                  {"src/a_rather_long_directory_name/with_a_long_unit_name.c", "parse", "error",
                   "hint", "/o/work/units/2.parse.log"}};
    r.links_known = true;
    r.link_steps = 1;
    r.build_seconds_before = 3.0;
    r.build_seconds_after = 0.2;
    r.build_after_ok = false;
    r.check_before = "passed";
    r.check_after = "not run (the rebuild failed)";
    return r;
}

} // namespace

TEST(Report, TotalsCoverOnlyUnitsThatSucceededAndFailuresAreMarked) {
    run_report r = sample();
    nlohmann::json j = nlohmann::json::parse(report_json(r));
    EXPECT_EQ(j["total"]["lines_before"], 1000);
    EXPECT_EQ(j["total"]["lines_after"], 100);
    EXPECT_EQ(j["total"]["succeeded"], 1);
    EXPECT_EQ(j["total"]["failed"], 2);
    EXPECT_EQ(j["units"][1]["state"], "failed: compile");
    EXPECT_EQ(j["units"][2]["state"], "failed: parse");
    EXPECT_TRUE(j["build_seconds"]["after"].is_null());

    std::string table = report_table(r);
    EXPECT_NE(table.find("1000        100   90.0%"), std::string::npos) << table;
    EXPECT_NE(table.find("failed: compile"), std::string::npos) << table;
    EXPECT_NE(table.find("failed: 2 (left out of the totals)"), std::string::npos) << table;
    // A build that failed is no speed-up, and a check that did not run is no failure.
    EXPECT_EQ(table.find("0.20 s"), std::string::npos) << table;
    EXPECT_NE(table.find("3.00 s -> failed"), std::string::npos) << table;
    EXPECT_EQ(table.find("output differs"), std::string::npos) << table;

    std::string md = report_markdown(r);
    EXPECT_LT(md.find("## What was done"), md.find("## Summary"));
    EXPECT_NE(md.find("**Next:** read the first failure"), std::string::npos) << md;
    EXPECT_NE(md.find("**failed: compile**"), std::string::npos) << md;
}

TEST(Report, BytesThatAreNotUtf8InALogExcerptDoNotAbortTheJson) {
    run_report r = sample();
    r.failures[0].message = "t.c:1: error: stray '\xe9' in program";
    nlohmann::json j = nlohmann::json::parse(report_json(r));
    EXPECT_EQ(j["failures"][0]["message"], "t.c:1: error: stray '\xef\xbf\xbd' in program");
}

TEST(Report, ChartSortsBySavingMarksFailuresAndStaysBounded) {
    run_report r = sample();
    std::string svg = report_svg(r);
    // Long names are drawn whole, the failed ones in red, after every success.
    EXPECT_NE(svg.find(">src/a_rather_long_directory_name/with_a_long_unit_name.c<"),
              std::string::npos);
    EXPECT_NE(svg.find("failed: parse"), std::string::npos);
    EXPECT_LT(svg.find(">a.c<"), svg.find(">b.c<"));
    // The label column is wide enough for the longest name at 7 px a character.
    size_t x = svg.find("<text x=\"", svg.find(">after</text>"));
    int label_end = std::stoi(svg.substr(x + 9));
    EXPECT_GE(label_end, 7 * 55);

    run_report many;
    for (int i = 0; i < 200; ++i)
        many.units.push_back(unit("u" + std::to_string(i) + ".c", true, true, 1000, i * 4));
    std::string big = report_svg(many);
    int height = std::stoi(big.substr(big.find("height=\"") + 8));
    EXPECT_LT(height, 1300);
    // Sorted by saving: u0 (largest saving) first, u199 last; the middle is summarised.
    EXPECT_LT(big.find(">u0.c<"), big.find(">u1.c<"));
    EXPECT_LT(big.find(">u1.c<"), big.find(">u199.c<"));
    EXPECT_EQ(big.find(">u100.c<"), std::string::npos);
    EXPECT_NE(big.find("140 units in the middle"), std::string::npos);
}

TEST(Report, NextStepsAfterACleanRun) {
    run_report r;
    r.out = "/o";
    r.build_command = "make";
    r.links_known = true;
    r.build_after_ok = true;
    r.units = {unit("main.c", true, true, 100, 10)};
    std::string md = report_markdown(r);
    EXPECT_NE(md.find("cd /o/after && make"), std::string::npos) << md;
    EXPECT_EQ(md.find("Not everything succeeded"), std::string::npos) << md;
}
