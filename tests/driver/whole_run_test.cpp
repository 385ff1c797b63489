// The driver on the bundled example project, with the real compiler, make, bear,
// c2ta, extractor and restructurer: the restructured copy must build, link and
// pass the project's own check, its units must shrink, and the project itself
// must be left exactly as it was.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files[fs::relative(entry.path(), dir).string()] = text.str();
    }
    return files;
}

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(WholeRun, ExampleProjectIsRestructuredRebuiltAndChecked) {
    fs::path root = fs::temp_directory_path() / "hdrslim-whole-run";
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    auto before = snapshot(root / "shop");

    int status =
        run(std::string(HDRSLIM_BIN) + " run --quiet --build make --check 'make -s check' " +
            "--out " + (root / "out").string() + " " + (root / "shop").string() + " > " +
            (root / "stdout.txt").string() + " 2>&1");
    std::ifstream log(root / "stdout.txt");
    std::stringstream printed;
    printed << log.rdbuf();
    ASSERT_EQ(status, 0) << printed.str();
    EXPECT_EQ(snapshot(root / "shop"), before) << "the user's project was modified";

    std::ifstream in(root / "out" / "report.json");
    nlohmann::json report = nlohmann::json::parse(in);
    const auto& total = report["total"];
    EXPECT_EQ(total["units"], 5);
    EXPECT_EQ(total["restructured"], 5);
    EXPECT_EQ(total["compiled"], 5);
    EXPECT_LT(total["lines_after"].get<long>(), total["lines_before"].get<long>());
    EXPECT_LT(total["bytes_after"].get<long>(), total["bytes_before"].get<long>());
    EXPECT_GT(report["new_headers"].get<int>(), 0);
    EXPECT_EQ(report["links"]["succeeded"], report["links"]["steps"]);
    EXPECT_EQ(report["links"]["steps"], 1);
    EXPECT_EQ(report["check"]["before"], "passed");
    EXPECT_EQ(report["check"]["after"], "passed");
    EXPECT_TRUE(report["check"]["same_output"].get<bool>());
    EXPECT_TRUE(report["failures"].empty());
    // Every header of the project appears with how many units used it.
    std::map<std::string, int> headers;
    for (const auto& h : report["headers"])
        headers[h["name"]] = h["units_before"];
    EXPECT_EQ(headers["include/version.h"], 1);
    EXPECT_EQ(headers["include/item.h"], 5);
    // Every unit has a lower bound that compiles: no larger than the rewritten
    // unit, far smaller than the original.
    const auto& bound = report["bound"]["total"];
    EXPECT_EQ(bound["units"], 5);
    EXPECT_TRUE(report["bound"]["not_counted"].empty());
    EXPECT_GT(bound["lines_bound"].get<long>(), 0);
    EXPECT_LE(bound["lines_bound"].get<long>(), total["lines_after"].get<long>());
    EXPECT_GE(bound["after_over_bound"].get<double>(), 1.0);
    for (const auto& unit : report["units"]) {
        EXPECT_TRUE(unit["bound_compiles"].get<bool>()) << unit["name"];
        EXPECT_LT(unit["lines_bound"].get<long>(), unit["lines_before"].get<long>())
            << unit["name"];
        EXPECT_GT(unit["headers_read_before"].get<int>(), 0) << unit["name"];
    }
    // main.c alone uses version.h's struct version; the others never see it.
    for (const auto& h : report["headers"]) {
        if (h["name"] == "include/version.h") {
            EXPECT_EQ(h["units_bound"], 1);
        }
    }
    EXPECT_TRUE(fs::exists(root / "out" / "report.md"));
    EXPECT_TRUE(fs::exists(root / "out" / "report.svg"));
    EXPECT_NE(printed.str().find("report: "), std::string::npos);
    std::ifstream md_file(root / "out" / "report.md");
    std::stringstream md;
    md << md_file.rdbuf();
    EXPECT_NE(md.str().find("## Lower bound"), std::string::npos);
    EXPECT_NE(md.str().find("after ÷ bound"), std::string::npos);
    EXPECT_NE(printed.str().find("after/bound"), std::string::npos);
    fs::remove_all(root);
}

TEST(WholeRun, AFailingUnitIsNamedAndTheOthersGoOn) {
    fs::path root = fs::temp_directory_path() / "hdrslim-failing-unit";
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    std::ofstream(root / "shop" / "broken.c") << "#include \"no_such_header.h\"\nint x;\n";
    // Compile commands given by the project itself: no build command, so nothing
    // is rebuilt, but every unit is still restructured and compiled on its own.
    std::string dir = (root / "shop").string();
    std::ofstream db(root / "shop" / "compile_commands.json");
    db << "[";
    const char* sources[] = {"main.c",          "store/item.c",    "store/stock.c",
                             "report/report.c", "report/format.c", "broken.c"};
    for (const char* source : sources)
        db << (source == sources[0] ? "" : ",") << "{\"directory\": \"" << dir << "\", \"file\": \""
           << source << "\", \"command\": \"cc -Iinclude -c " << source << "\"}";
    db << "]";
    db.close();

    int status =
        run(std::string(HDRSLIM_BIN) + " run --quiet -j 2 --out " + (root / "out").string() + " " +
            dir + " > " + (root / "stdout.txt").string() + " 2>&1");
    std::ifstream log(root / "stdout.txt");
    std::stringstream printed;
    printed << log.rdbuf();
    EXPECT_EQ(status, 1) << printed.str();
    EXPECT_NE(printed.str().find("broken.c (preprocess)"), std::string::npos) << printed.str();
    EXPECT_NE(printed.str().find("no_such_header.h"), std::string::npos) << printed.str();

    std::ifstream in(root / "out" / "report.json");
    nlohmann::json report = nlohmann::json::parse(in);
    EXPECT_EQ(report["total"]["units"], 6);
    EXPECT_EQ(report["total"]["restructured"], 5);
    EXPECT_EQ(report["total"]["compiled"], 5);
    ASSERT_EQ(report["failures"].size(), 1u);
    EXPECT_EQ(report["failures"][0]["unit"], "broken.c");
    EXPECT_EQ(report["failures"][0]["step"], "preprocess");
    // The unit without a lower bound is named and left out of its totals.
    ASSERT_EQ(report["bound"]["not_counted"].size(), 1u);
    EXPECT_EQ(report["bound"]["not_counted"][0]["unit"], "broken.c");
    EXPECT_EQ(report["bound"]["total"]["units"], 5);
    EXPECT_NE(printed.str().find("not counted: broken.c"), std::string::npos) << printed.str();
    EXPECT_FALSE(report["links"]["known"].get<bool>());
    std::ifstream marker(root / "out" / ".hdrslim-output");
    std::stringstream state;
    state << marker.rdbuf();
    EXPECT_NE(state.str().find("with failures"), std::string::npos) << state.str();
    fs::remove_all(root);
}

TEST(WholeRun, BadInputGetsAOneLineErrorAndNoOutput) {
    fs::path root = fs::temp_directory_path() / "hdrslim-bad-input";
    fs::remove_all(root);
    fs::create_directories(root / "empty");
    std::string out = (root / "out").string();
    // No compile commands and no build command: nothing is written at all.
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --out " + out + " " +
                  (root / "empty").string() + " 2> " + (root / "err.txt").string()),
              2);
    EXPECT_FALSE(fs::exists(out));
    std::ifstream err(root / "err.txt");
    std::string first;
    std::getline(err, first);
    EXPECT_NE(first.find("no compile_commands.json"), std::string::npos) << first;
    // An output path with a blank in it cannot be carried by the fact files.
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --build make --out '" +
                  (root / "my out").string() + "' " + (root / "empty").string() + " 2> " +
                  (root / "err.txt").string()),
              2);
    EXPECT_FALSE(fs::exists(root / "my out"));
    // A missing project and a bad option are usage errors.
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet " + (root / "nothing").string() +
                  " 2> /dev/null"),
              2);
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --bogus x 2> /dev/null"), 2);
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " 2> /dev/null"), 2);
    fs::remove_all(root);
}
