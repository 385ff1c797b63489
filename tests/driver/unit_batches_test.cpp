// c2ta parses several units in one process: a unit that fails in a batch keeps
// its own message, and the other units of its batch keep their facts.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>

namespace fs = std::filesystem;

TEST(UnitBatches, AFailingUnitInABatchLosesNothingOfTheOthers) {
    fs::path root = fresh_temp_dir("hdrslim-unit-batches");
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    // The preprocessor takes bad_parse.c, libclang does not; broken.c fails
    // before c2ta sees it.
    std::ofstream(root / "shop" / "bad_parse.c") << "int bad( {\n";
    std::ofstream(root / "shop" / "broken.c") << "#include \"no_such_header.h\"\nint x;\n";
    std::string dir = (root / "shop").string();
    std::ofstream db(root / "shop" / "compile_commands.json");
    const char* sources[] = {"main.c",        "bad_parse.c",     "store/item.c",   "broken.c",
                             "store/stock.c", "report/report.c", "report/format.c"};
    db << "[";
    for (const char* source : sources)
        db << (source == sources[0] ? "" : ",") << "{\"directory\": \"" << dir << "\", \"file\": \""
           << source << "\", \"command\": \"cc -Iinclude -c " << source << "\"}";
    db << "]";
    db.close();

    // One job: two units a c2ta process, so each failing unit shares its batch.
    std::string out = (root / "out").string();
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet -j 1 --out " + out + " " + dir + " > " +
                  (root / "stdout.txt").string() + " 2>&1"),
              1)
        << read(root / "stdout.txt");
    std::string makefile = read(root / "out" / "work" / "units" / "units.mk");
    const std::regex rule("\nbatch[0-9]+:");
    std::ptrdiff_t batches = std::distance(
        std::sregex_iterator(makefile.begin(), makefile.end(), rule), std::sregex_iterator());
    EXPECT_EQ(batches, 4) << makefile;

    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    EXPECT_EQ(report["total"]["units"], 7);
    EXPECT_EQ(report["total"]["restructured"], 5);
    EXPECT_EQ(report["total"]["compiled"], 5);
    std::map<std::string, std::string> failed; // unit -> step
    for (const auto& failure : report["failures"]) {
        failed[failure["unit"]] = failure["step"];
        if (failure["unit"] == "bad_parse.c") {
            EXPECT_NE(failure["message"].get<std::string>().find("bad_parse.cpp.c:"),
                      std::string::npos)
                << failure["message"];
        }
    }
    EXPECT_EQ(failed, (std::map<std::string, std::string>{{"bad_parse.c", "parse"},
                                                          {"broken.c", "preprocess"}}));
    // Each unit's messages stay its own: the six units parsed have a log each,
    // and only bad_parse.c's says anything, though it shared its process.
    int logs = 0, said = 0;
    for (const auto& entry : fs::directory_iterator(root / "out" / "work" / "units")) {
        std::string name = entry.path().filename().string();
        if (name.size() < 10 || name.compare(name.size() - 10, 10, ".parse.log") != 0) continue;
        ++logs;
        said += !read(entry.path()).empty();
    }
    EXPECT_EQ(logs, 6);
    EXPECT_EQ(said, 1);
    fs::remove_all(root);
}

// A unit left out of the units phase (its path holds a blank) must not shift
// the files of the units after it: each unit's headers read and lower bound are
// its own.
TEST(UnitBatches, AUnitLeftOutShiftsNoOtherUnitsFiles) {
    fs::path root = fresh_temp_dir("hdrslim-unit-numbers");
    fs::path dir = root / "proj";
    fs::create_directories(dir);
    std::ofstream(dir / "a blank.c") << "int blank(void) { return 0; }\n";
    std::ofstream(dir / "a.h") << "int a(void);\nstruct big { int x[4]; int y; int z; };\n";
    std::ofstream(dir / "b.h") << "int b(void);\n";
    std::ofstream(dir / "two.c") << "#include \"a.h\"\n#include \"b.h\"\n"
                                 << "int two(void) { struct big s = {{0}, 0, 0}; return s.y; }\n";
    std::ofstream(dir / "none.c") << "int none(void) { return 1; }\n";
    std::ofstream db(dir / "compile_commands.json");
    db << "[";
    const char* sources[] = {"a blank.c", "two.c", "none.c"};
    for (const char* source : sources)
        db << (source == sources[0] ? "" : ",") << "{\"directory\": \"" << dir.string()
           << "\", \"file\": \"" << source << "\", \"arguments\": [\"cc\", \"-c\", \"" << source
           << "\"]}";
    db << "]";
    db.close();
    std::string out = (root / "out").string();
    EXPECT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --form measured --out " + out + " " +
                  dir.string() + " > " + (root / "stdout.txt").string() + " 2>&1"),
              1)
        << read(root / "stdout.txt");
    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    std::map<std::string, nlohmann::json> units;
    for (const auto& u : report["units"])
        units[u["name"].get<std::string>()] = u;
    ASSERT_TRUE(units.count("two.c") && units.count("none.c")) << report["units"].dump();
    EXPECT_EQ(units["two.c"]["headers_read_before"], 2);
    EXPECT_EQ(units["none.c"]["headers_read_before"], 0);
    // two.c's bound keeps the struct it uses whole; none.c's is its one line.
    EXPECT_TRUE(units["two.c"]["bound_compiles"].get<bool>());
    EXPECT_TRUE(units["none.c"]["bound_compiles"].get<bool>());
    EXPECT_GE(units["two.c"]["lines_bound"].get<long>(), 2);
    EXPECT_EQ(units["none.c"]["lines_bound"], 1);
    fs::remove_all(root);
}
