// Each unit's compile status and time come from the project's own builds: the
// recorded compile steps are matched to the units, and only what the builds did
// not compile is compiled apart.
#include "build_capture.h"
#include "build_compiles.h"
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

std::string started(const std::string& rid, const std::string& argv, const std::string& cwd,
                    const std::string& at) {
    return R"({"rid":")" + rid + R"(","started":{"execution":{"executable":"/usr/bin/cc",)" +
           R"("arguments":[)" + argv + R"(],"working_dir":")" + cwd +
           R"("}},"timestamp":"2026-12-07T)" + at + "Z\"}\n";
}

std::string terminated(const std::string& rid, const std::string& status, const std::string& at) {
    return R"({"rid":")" + rid + R"(","terminated":{"status":")" + status +
           R"("},"timestamp":"2026-12-07T)" + at + "Z\"}\n";
}

compile_unit unit_at(const std::string& source, const std::string& object) {
    compile_unit unit;
    unit.source = source;
    unit.object = object;
    return unit;
}

} // namespace

TEST(BuildCompiles, StepsCarryTheirStatusAndTimeAndMatchTheirUnits) {
    fs::path dir = fresh_temp_dir("hdrslim-build-compiles");
    // Steps end out of order, one across a minute's end, and one never ends.
    std::ofstream(dir / "events.json")
        << started("1", R"("cc","-c","a.c","-o","a.o")", "/b", "10:00:00.250000")
        << started("2", R"("cc","-c","-fPIC","a.c","-o",".libs/a.o")", "/b", "10:00:00.500000")
        << started("3", R"("cc","-c","-o","x/c.o","x/c.c")", "/b", "10:00:59.900000")
        << started("4", R"("cc","-c","d.c","e.c")", "/b", "10:00:01")
        << started("5", R"("cc","-c","../outside/f.c")", "/b", "10:00:01")
        << started("6", R"("cc","-c","g.c")", "/b", "10:00:02")
        // Compiled and linked in one step: p.c alone, q.c failing, r.c also
        // compiled apart by a later step, which counts first.
        << started("7", R"("cc","-O2","-o","p","p.c","lib.a")", "/b", "10:00:04")
        << started("8", R"("cc","-o","q","q.c")", "/b", "10:00:04")
        << started("9", R"("cc","-o","r","r.c")", "/b", "10:00:04")
        << started("10", R"("cc","-c","r.c")", "/b", "10:00:05")
        << terminated("3", "1", "10:01:00.150000") << terminated("2", "0", "10:00:02.500000")
        << terminated("1", "0", "10:00:01.000000") << terminated("4", "0", "10:00:03")
        << terminated("5", "0", "10:00:03") << terminated("7", "0", "10:00:04.500000")
        << terminated("8", "1", "10:00:05") << terminated("9", "0", "10:00:05")
        << terminated("10", "0", "10:00:05.125000");
    std::vector<build_step> steps = read_build_steps((dir / "events.json").string());
    fs::remove_all(dir);
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_TRUE(steps[0].finished);
    EXPECT_EQ(steps[0].status, 0);
    EXPECT_NEAR(steps[0].seconds, 0.75, 1e-6);
    EXPECT_EQ(steps[2].status, 1);
    EXPECT_NEAR(steps[2].seconds, 0.25, 1e-6);
    EXPECT_FALSE(steps[5].finished);
    EXPECT_EQ(compiled_sources(steps[2]), std::vector<std::string>{"/b/x/c.c"});

    // The units live in /t, a copy of the tree the build ran in (/b).
    std::vector<compile_unit> units = {
        unit_at("/t/a.c", "/t/.libs/a.o"), unit_at("/t/a.c", ""),
        unit_at("/t/x/c.c", "/t/x/c.o"),   unit_at("/t/d.c", "/t/d.o"),
        unit_at("/t/g.c", "/t/g.o"),       unit_at("/t/h.c", "/t/h.o"),
        unit_at("/t/p.c", "/t/p"),         unit_at("/t/q.c", "/t/q"),
        unit_at("/t/r.c", "/t/r.o")};
    std::vector<std::optional<unit_compile>> found = compiles_in_build(steps, "/b", units, "/t");
    ASSERT_EQ(found.size(), units.size());
    ASSERT_TRUE(found[0]); // the step writing the unit's object
    EXPECT_NEAR(found[0]->seconds, 2.0, 1e-6);
    ASSERT_TRUE(found[1]); // else the first step compiling its source
    EXPECT_NEAR(found[1]->seconds, 0.75, 1e-6);
    ASSERT_TRUE(found[2]);
    EXPECT_FALSE(found[2]->ok);
    EXPECT_FALSE(found[3]) << "a step of two sources times neither";
    EXPECT_FALSE(found[4]) << "a step that never ended";
    EXPECT_FALSE(found[5]) << "a source the build did not compile";
    ASSERT_TRUE(found[6]) << "compiled and linked in one step";
    EXPECT_TRUE(found[6]->ok);
    EXPECT_NEAR(found[6]->seconds, 0.5, 1e-6);
    EXPECT_FALSE(found[7]) << "a failed compile-and-link step tells nothing of the compile";
    ASSERT_TRUE(found[8]);
    EXPECT_NEAR(found[8]->seconds, 0.125, 1e-6) << "its own compile step, not the link's";
}

// With the project's build, the builds' own compiles give every unit's figures
// and nothing is compiled again; without it every source is compiled apart.
TEST(BuildCompiles, AWholeRunCompilesNothingTheBuildsCompiled) {
    fs::path root = fresh_temp_dir("hdrslim-build-compiles-run");
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    std::string out = (root / "out").string();
    ASSERT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --build make --out " + out + " " +
                  (root / "shop").string() + " > " + (root / "stdout.txt").string() + " 2>&1"),
              0)
        << read(root / "stdout.txt");
    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    EXPECT_EQ(report["compiled_apart_from_builds"], 0);
    ASSERT_EQ(report["units"].size(), 5u);
    for (const auto& unit : report["units"]) {
        EXPECT_TRUE(unit["compiled"].get<bool>()) << unit["name"];
        EXPECT_GT(unit["compile_seconds_before"].get<double>(), 0) << unit["name"];
        EXPECT_GT(unit["compile_seconds_after"].get<double>(), 0) << unit["name"];
    }
    EXPECT_FALSE(fs::exists(root / "out" / "work" / "objects" / "0.after.o"));

    // The same project from its compile commands alone: no build to borrow from.
    fs::remove_all(root / "out");
    ASSERT_EQ(run("cd '" + (root / "shop").string() +
                  "' && make -s clean >/dev/null 2>&1; bear --output compile_commands.json -- "
                  "make -s > /dev/null 2>&1"),
              0);
    ASSERT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --out " + out + " " +
                  (root / "shop").string() + " > " + (root / "stdout.txt").string() + " 2>&1"),
              0)
        << read(root / "stdout.txt");
    report = nlohmann::json::parse(read(root / "out" / "report.json"));
    EXPECT_EQ(report["compiled_apart_from_builds"], 10);
    EXPECT_TRUE(fs::exists(root / "out" / "work" / "objects" / "0.after.o"));
    fs::remove_all(root);
}
