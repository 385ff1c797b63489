// The driver on the kinds of project people have, with the real compiler, make,
// CMake and bear: one built already, a CMake project by both routes (its build
// folder inside the project or outside it), and a build that regenerates a
// source over the rewritten one, which must never pass as a success.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class ProjectKinds : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fresh_temp_dir(
            "hdrslim-kinds-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    // Runs hdrslim with `options` on `project`; returns its status, keeps its output.
    int hdrslim(const std::string& options, const fs::path& project) {
        int status = run(std::string(HDRSLIM_BIN) + " run --quiet " + options + " --out " +
                         (root / "out").string() + " " + project.string() + " > " +
                         (root / "printed.txt").string() + " 2>&1");
        printed = read(root / "printed.txt");
        return status;
    }
    nlohmann::json report() { return nlohmann::json::parse(read(root / "out" / "report.json")); }

    fs::path root;
    std::string printed;
};

} // namespace

TEST_F(ProjectKinds, AProjectBuiltAlreadyWorksOnTheFirstTry) {
    fs::copy(fs::path(REDUCTIONS_DIR) / "shared_header", root / "proj");
    ASSERT_EQ(run("make -s -C " + (root / "proj").string() + " > /dev/null"), 0);
    ASSERT_TRUE(fs::exists(root / "proj" / "prog"));
    EXPECT_EQ(hdrslim("--build make --check ./prog", root / "proj"), 0) << printed;
    EXPECT_NE(printed.find("outputs of an earlier build"), std::string::npos) << printed;
    nlohmann::json r = report();
    EXPECT_EQ(r["total"]["units"], 2);
    EXPECT_EQ(r["total"]["compiled"], 2);
    EXPECT_EQ(r["links"]["succeeded"], 1);
    // The user's own objects are still there.
    EXPECT_TRUE(fs::exists(root / "proj" / "prog"));
}

TEST_F(ProjectKinds, CMakeWithItsBuildFolderInsideTheProjectAndBuiltAlready) {
    fs::copy(fs::path(REDUCTIONS_DIR) / "cmake_build_folder", root / "proj");
    fs::remove(root / "proj" / "build");
    fs::remove(root / "proj" / "check");
    std::string build = "cmake -S . -B build && cmake --build build";
    ASSERT_EQ(run("cd " + (root / "proj").string() + " && { " + build + "; } > /dev/null"), 0);
    EXPECT_EQ(hdrslim("--build '" + build + "' --check build/prog", root / "proj"), 0) << printed;
    nlohmann::json r = report();
    EXPECT_EQ(r["total"]["units"], 2); // CMake's compiler probe is no unit
    for (const auto& unit : r["units"])
        EXPECT_EQ(unit["name"].get<std::string>().find("CMakeFiles"), std::string::npos);
    EXPECT_EQ(r["check"]["after"], "passed");
}

TEST_F(ProjectKinds, CMakeCompileCommandsFromABuildFolderOutsideTheProject) {
    fs::copy(fs::path(REDUCTIONS_DIR) / "cmake_build_folder", root / "proj");
    fs::remove(root / "proj" / "build");
    fs::remove(root / "proj" / "check");
    ASSERT_EQ(run("cmake -S " + (root / "proj").string() + " -B " + (root / "outside").string() +
                  " -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null"),
              0);
    EXPECT_EQ(hdrslim("-p " + (root / "outside").string(), root / "proj"), 0) << printed;
    EXPECT_EQ(report()["total"]["compiled"], 2);
    // Without -p the database is not found, and the run stops before writing.
    fs::remove_all(root / "out");
    EXPECT_EQ(hdrslim("", root / "proj"), 2) << printed;
    EXPECT_FALSE(fs::exists(root / "out"));
    // In the project's build/ folder it is found without -p.
    ASSERT_EQ(run("cmake -S " + (root / "proj").string() + " -B " +
                  (root / "proj" / "build").string() +
                  " -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null"),
              0);
    EXPECT_EQ(hdrslim("", root / "proj"), 0) << printed;
}

TEST_F(ProjectKinds, ASourceTheBuildRegeneratesIsNeverASuccess) {
    fs::create_directories(root / "proj");
    std::ofstream(root / "proj" / "gen.h") << "int generated(void);\n";
    std::ofstream(root / "proj" / "gen.c.in")
        << "#include \"gen.h\"\nint generated(void) { return 42; }\n";
    std::ofstream(root / "proj" / "main.c")
        << "#include \"gen.h\"\nint main(void) { return generated() == 42 ? 0 : 1; }\n";
    // Every build makes gen.c again, also the one after it was put back. (A
    // build that makes it again only once, from a stamp missing in a fresh copy,
    // is the reduction generated_from_stamp.)
    std::ofstream(root / "proj" / "Makefile") << "prog: main.o gen.o\n"
                                                 "\t$(CC) -o prog main.o gen.o\n"
                                                 "gen.c: gen.c.in FORCE\n"
                                                 "\tcp gen.c.in gen.c\n"
                                                 "FORCE:\n";
    EXPECT_EQ(hdrslim("--build make --check ./prog", root / "proj"), 1) << printed;
    EXPECT_NE(printed.find("gen.c (rebuild): the project's build made this source again"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("the build regenerated 1 rewritten source"), std::string::npos)
        << printed;
    // Its rewritten source, compiled apart from the builds, compiles.
    EXPECT_NE(printed.find("gen.cpp.new.c and compiles on its own"), std::string::npos) << printed;
    nlohmann::json r = report();
    EXPECT_EQ(r["links"]["regenerated_sources"], 1);
    bool flagged = false;
    for (const auto& unit : r["units"])
        if (unit["name"] == "gen.c") flagged = unit["regenerated"].get<bool>();
    EXPECT_TRUE(flagged);
}

TEST_F(ProjectKinds, FlagsFromAResponseFileNameTheCopysHeaders) {
    // `cc @flags.rsp`: a quoted include directory given relative, a forced
    // include, -pedantic-errors. The headers found through them are the copy's,
    // and the lower bound compiles under the same flags.
    fs::copy(fs::path(REDUCTIONS_DIR) / "response_file", root / "proj",
             fs::copy_options::recursive);
    ASSERT_EQ(hdrslim("--form measured --build make --check ./prog", root / "proj"), 0) << printed;
    nlohmann::json r = report();
    for (const auto& unit : r["units"]) {
        EXPECT_TRUE(unit["bound_compiles"].get<bool>()) << unit["name"];
        EXPECT_GT(unit["origin_before"]["project_headers"].get<int>(), 0) << unit["name"];
    }
    const fs::path tree = fs::canonical(root / "out" / "tree");
    std::string headers;
    for (const auto& entry : fs::directory_iterator(tree / "include.new"))
        headers += read(entry.path());
    EXPECT_NE(headers.find("#line 1 \"" + (tree / "quoted" / "pair.h").string() + "\""),
              std::string::npos)
        << headers;
}
