// The source form of the example project, written by a default run with the real
// tools: it builds and passes the check, it can be moved and built elsewhere, it
// behaves like the original in the default configuration and with -DSHOP_VERBOSE,
// its new headers carry no preprocessor output, and its patch applies to a fresh
// copy.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

namespace fs = std::filesystem;

namespace {

// The output of the shop program built in `dir` with extra compiler flags.
std::string shop_output(const fs::path& dir, const std::string& flags, const fs::path& out) {
    std::string d = "'" + dir.string() + "'";
    if (run("make -s -C " + d + " clean > /dev/null && make -s -C " + d + " CFLAGS='-O1 -Wall " +
            flags + "' > /dev/null 2>&1 && cd " + d + " && ./shop > '" + out.string() + "'") != 0)
        return "(did not build or run)";
    return read(out);
}

} // namespace

TEST(SourceFormRun, ExampleBuildsMovedInBothConfigurationsAndItsPatchApplies) {
    fs::path root = fresh_temp_dir("hdrslim-source-form");
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    int status =
        run(std::string(HDRSLIM_BIN) + " run --quiet --build make --check 'make -s check' --out " +
            (root / "out").string() + " " + (root / "shop").string() + " > " +
            (root / "stdout.txt").string() + " 2>&1");
    std::string printed = read(root / "stdout.txt");
    ASSERT_EQ(status, 0) << printed;
    EXPECT_NE(printed.find("source form: " + (root / "out" / "source").string() +
                           " (build passed, check passed)"),
              std::string::npos)
        << printed;
    // The source form is what a run hands over: the terminal, report.md and
    // report.json end with (or hold) the command that applies its patch.
    const std::string apply = "cd " + (root / "shop").string() + " && git apply " +
                              (root / "out" / "hdrslim.patch").string() + "\n";
    EXPECT_EQ(printed.substr(printed.size() - std::min(printed.size(), apply.size())), apply)
        << printed;
    std::string md = read(root / "out" / "report.md");
    EXPECT_NE(md.find("## Source form"), std::string::npos);
    EXPECT_EQ(md.substr(md.size() - std::min(md.size(), apply.size())), apply) << md;
    // Each unit reads no more project-header text than in the measured form plus
    // a tenth, and less than the original.
    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    ASSERT_EQ(report["source_form"]["units"].size(), 5u);
    for (const auto& unit : report["source_form"]["units"]) {
        EXPECT_TRUE(unit["measured"].get<bool>()) << unit;
        EXPECT_LE(unit["project_source"].get<long>() * 10,
                  unit["project_measured"].get<long>() * 11)
            << unit;
        EXPECT_LT(unit["project_source"].get<long>(), unit["project_before"].get<long>()) << unit;
    }

    // The new files hold original text: no line markers, no system internals, no
    // absolute includes; headers are named, not numbered.
    std::string patch = read(root / "out" / "hdrslim.patch");
    std::regex added_file("\\+\\+\\+ b/(\\S+)\n");
    int headers = 0;
    for (auto it = std::sregex_iterator(patch.begin(), patch.end(), added_file);
         it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[1];
        std::string text = read(root / "out" / "source" / name);
        for (const char* banned : {"#line", "# 1 ", "__attribute__", "__off_t", "_IO_FILE",
                                   "include.new", "#include \"/"})
            EXPECT_EQ(text.find(banned), std::string::npos) << banned << " in " << name;
        if (name.size() > 2 && name.compare(name.size() - 2, 2, ".h") == 0) {
            ++headers;
            EXPECT_FALSE(
                std::regex_match(fs::path(name).filename().string(), std::regex("[0-9_]+\\.h")))
                << name;
        }
    }
    EXPECT_GE(headers, 3) << patch;
    // The X-macro table comes along with the declarations that use it.
    EXPECT_NE(patch.find("+#define SHOP_CATEGORIES(X)"), std::string::npos) << patch;
    EXPECT_NE(patch.find("+#ifdef SHOP_VERBOSE"), std::string::npos) << patch;

    // The patch applies to fresh copies with git apply and with patch -p1.
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "applied", fs::copy_options::recursive);
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "patched", fs::copy_options::recursive);
    std::string patch_file = (root / "out" / "hdrslim.patch").string();
    EXPECT_EQ(run("cd '" + (root / "applied").string() + "' && git apply '" + patch_file + "'"), 0);
    EXPECT_EQ(
        run("cd '" + (root / "patched").string() + "' && patch -s -p1 < '" + patch_file + "'"), 0);
    EXPECT_EQ(run("make -s -C '" + (root / "applied").string() + "' check > /dev/null 2>&1"), 0);

    // Moved elsewhere, the tree builds and behaves as the original in both
    // configurations.
    fs::copy(root / "out" / "source", root / "moved", fs::copy_options::recursive);
    fs::remove_all(root / "out");
    for (const std::string& flags : {std::string(), std::string("-DSHOP_VERBOSE")}) {
        std::string original = shop_output(root / "shop", flags, root / "original.txt");
        std::string moved = shop_output(root / "moved", flags, root / "moved.txt");
        EXPECT_EQ(moved, original) << "configuration '" << flags << "'";
        EXPECT_EQ(original.find("trace: report begins") != std::string::npos, !flags.empty())
            << original;
    }
    fs::remove_all(root);
}
