// The source form's part of the report: its figures beside the measured form's,
// summed over the units that were measured only, the headers no unit includes
// any more, and the command that applies the patch last, in every rendering.
#include "fresh_temp_dir.h"
#include "run_report.h"
#include "shell_helpers.h"
#include "source_form_report.h"
#include "source_form_step.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

source_unit_figures figures(const std::string& name, long project_measured, long project_source,
                            long system_source) {
    source_unit_figures u;
    u.name = name;
    u.measured = true;
    u.project_before = 500;
    u.project_measured = project_measured;
    u.project_source = project_source;
    u.system_before = 1000;
    u.system_measured = 10;
    u.system_source = system_source;
    return u;
}

source_form_summary sample() {
    source_form_summary s;
    s.written = true;
    s.project = "/home/me/my project";
    s.dir = "/o/source";
    s.patch = "/o/hdrslim.patch";
    s.build = "passed";
    s.check = "passed";
    s.new_headers = {"src/item_types.h", "src/item_macros.h"};
    s.no_longer_included = {"src/item.h"};
    source_unit_figures skipped;
    skipped.name = "broken.c";
    skipped.project_before = 9999;
    s.units = {figures("a.c", 100, 90, 600), skipped, figures("b.c", 200, 230, 700)};
    return s;
}

std::string last_line(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.rfind('\n') + 1);
}

} // namespace

TEST(SourceFormReport, FiguresOfMeasuredUnitsAndTheApplyCommandLast) {
    source_form_summary s = sample();
    const std::string apply = "cd '/home/me/my project' && git apply /o/hdrslim.patch";

    std::string md = source_form_markdown(s);
    EXPECT_NE(md.find("| a.c | 500 | 100 | 90 | 0.90 | 1000 | 10 | 600 |"), std::string::npos)
        << md;
    EXPECT_NE(md.find("| broken.c | not restructured |"), std::string::npos) << md;
    // The unit that was not measured is left out of the totals.
    EXPECT_NE(md.find("| total | 1000 | 300 | 320 | 1.07 | 2000 | 20 | 1300 |"), std::string::npos)
        << md;
    EXPECT_NE(md.find("- `src/item.h`"), std::string::npos) << md;
    EXPECT_EQ(last_line(md), "    " + apply);

    std::string terminal = source_form_terminal(s);
    EXPECT_NE(terminal.find("project-header lines (non-blank): 1000 before, 300 measured form, "
                            "320 source form"),
              std::string::npos)
        << terminal;
    EXPECT_NE(terminal.find("1300 source form"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("no unit includes any more: src/item.h\n"), std::string::npos)
        << terminal;
    EXPECT_EQ(last_line(terminal), "apply it: " + apply);

    // report.json keeps what it held and gains the same figures.
    nlohmann::json j = nlohmann::json::parse(with_source_form("{\"project\": \"/p\"}", s));
    EXPECT_EQ(j["project"], "/p");
    EXPECT_EQ(j["source_form"]["total"]["project_source"], 320);
    EXPECT_EQ(j["source_form"]["total"]["system_measured"], 20);
    EXPECT_EQ(j["source_form"]["units"][1]["measured"], false);
    EXPECT_EQ(j["source_form"]["no_longer_included"][0], "src/item.h");
    EXPECT_EQ(j["source_form"]["apply"], apply);

    s.no_longer_included.clear();
    EXPECT_NE(source_form_markdown(s).find("- none"), std::string::npos);
    EXPECT_NE(source_form_terminal(s).find("any more: none\n"), std::string::npos);
}

TEST(SourceFormReport, NotWrittenSaysWhyAndOffersNoPatch) {
    source_form_summary s = sample();
    s.written = false;
    s.error = "cannot write /o/source/src/item_types.h";
    EXPECT_NE(source_form_markdown(s).find("Not written: " + s.error), std::string::npos);
    EXPECT_EQ(source_form_terminal(s).find("git apply"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(source_form_json(s))["apply"], "");

    // The run's report then points at the measured form alone.
    run_report r;
    r.out = "/o";
    r.units.push_back({});
    r.units.back().name = "main.c";
    EXPECT_EQ(report_markdown(r).find("restructured as source"), std::string::npos);
    r.source_dir = "/o/source";
    r.patch = "/o/hdrslim.patch";
    std::string md = report_markdown(r);
    EXPECT_NE(md.find("`/o/source` is the project restructured as source"), std::string::npos)
        << md;
    EXPECT_NE(md.find("**Next:** read the patch (`less /o/hdrslim.patch`)"), std::string::npos)
        << md;
}

// git apply run in a sub-directory of a work tree takes the patch's names from
// the work tree's top and skips, silently, what lies outside the sub-directory:
// the command names the project's place in the work tree.
TEST(SourceFormReport, TheApplyCommandAppliesInASubDirectoryOfAGitWorkTree) {
    namespace fs = std::filesystem;
    fs::path root = fresh_temp_dir("hdrslim-apply");
    fs::create_directories(root / "repo" / "lib" / "shop");
    std::ofstream(root / "repo" / "lib" / "shop" / "a.c") << "int a;\n";
    std::ofstream(root / "fix.patch") << "diff --git a/a.c b/a.c\n--- a/a.c\n+++ b/a.c\n"
                                         "@@ -1 +1 @@\n-int a;\n+int b;\n";
    EXPECT_EQ(git_prefix_of((root / "repo" / "lib" / "shop").string(), (root / "scratch").string()),
              "");
    ASSERT_EQ(run("cd '" + (root / "repo").string() + "' && git init -q . && git add . && git " +
                  "-c user.name=t -c user.email=t@t commit -qm first"),
              0);
    source_form_summary s = sample();
    s.project = (root / "repo" / "lib" / "shop").string();
    s.patch = (root / "fix.patch").string();
    s.git_prefix = git_prefix_of(s.project, (root / "scratch").string());
    EXPECT_EQ(s.git_prefix, "lib/shop/");
    EXPECT_FALSE(fs::exists(root / "scratch"));
    std::string terminal = source_form_terminal(s);
    std::string command = last_line(terminal).substr(std::string("apply it: ").size());
    ASSERT_EQ(run(command), 0) << command;
    EXPECT_EQ(read(root / "repo" / "lib" / "shop" / "a.c"), "int b;\n") << command;
    fs::remove_all(root);
}

TEST(SourceFormPatch, AnAddedFileIsWrittenAsDiffWritesIt) {
    namespace fs = std::filesystem;
    fs::path root = fresh_temp_dir("hdrslim-added-diff");
    const std::vector<std::string> texts{
        "int a;\n", "int a;\nint b;\n\n", "int a;\nint b;", "last", "\n", ""};
    for (size_t i = 0; i < texts.size(); ++i) {
        fs::path file = root / ("f" + std::to_string(i) + ".h");
        std::ofstream(file, std::ios::binary) << texts[i];
        fs::path out = root / "out";
        run("diff -u --label /dev/null --label b/src/n.h /dev/null '" + file.string() + "' > '" +
            out.string() + "'");
        std::string expected = read(out);
        if (!expected.empty())
            expected = "diff --git a/src/n.h b/src/n.h\nnew file mode 100644\n" + expected;
        EXPECT_EQ(added_file_diff(texts[i], "src/n.h"), expected) << "text " << i;
    }
    fs::remove_all(root);
}
