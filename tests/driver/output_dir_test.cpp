#include "output_dir.h"
#include "run_options.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class OutputDir : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("hdrslim-out-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root / "proj" / "sub");
        fs::create_directories(root / "proj" / ".git");
        std::ofstream(root / "proj" / "a.c") << "int a;\n";
        std::ofstream(root / "proj" / "sub" / "b.h") << "int b;\n";
        std::ofstream(root / "proj" / ".git" / "HEAD") << "ref\n";
    }
    void TearDown() override { fs::remove_all(root); }

    std::string read(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path root;
};

} // namespace

TEST_F(OutputDir, CopiesTheProjectAndMarksTheOutput) {
    output_dir dir;
    std::string error;
    ASSERT_TRUE(prepare_output_dir((root / "proj").string(), (root / "out").string(), dir, error))
        << error;
    EXPECT_EQ(read(fs::path(dir.tree) / "sub" / "b.h"), "int b;\n");
    EXPECT_FALSE(fs::exists(fs::path(dir.tree) / ".git"));
    EXPECT_TRUE(fs::is_directory(dir.work));
    EXPECT_NE(read(root / "out" / output_marker_name).find("state: running"), std::string::npos);
    dir.mark("complete");
    EXPECT_NE(read(root / "out" / output_marker_name).find("state: complete"), std::string::npos);

    // A second run replaces what the first one wrote.
    std::ofstream(fs::path(dir.tree) / "stale.o") << "x";
    ASSERT_TRUE(prepare_output_dir((root / "proj").string(), (root / "out").string(), dir, error));
    EXPECT_FALSE(fs::exists(fs::path(dir.tree) / "stale.o"));
    EXPECT_TRUE(fs::exists(fs::path(dir.tree) / "a.c"));
}

TEST_F(OutputDir, RefusesToTouchAnythingElse) {
    output_dir dir;
    std::string error;
    // A directory with the user's files in it is never emptied.
    fs::create_directories(root / "mine");
    std::ofstream(root / "mine" / "notes.txt") << "keep\n";
    EXPECT_FALSE(
        prepare_output_dir((root / "proj").string(), (root / "mine").string(), dir, error));
    EXPECT_NE(error.find("not made by hdrslim"), std::string::npos);
    EXPECT_EQ(read(root / "mine" / "notes.txt"), "keep\n");
    // Neither inside the project nor around it.
    EXPECT_FALSE(
        prepare_output_dir((root / "proj").string(), (root / "proj" / "out").string(), dir, error));
    EXPECT_FALSE(
        prepare_output_dir((root / "proj" / "sub").string(), (root / "proj").string(), dir, error));
    EXPECT_FALSE(
        prepare_output_dir((root / "nothing").string(), (root / "out").string(), dir, error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    // The project is exactly as it was.
    EXPECT_EQ(read(root / "proj" / "a.c"), "int a;\n");
    EXPECT_FALSE(fs::exists(root / "proj" / "out"));
}

TEST(RunOptions, ParsesTheCommandLineAndRejectsMistakes) {
    std::string error;
    auto options = parse_run_options(
        {"--out", "/o", "-j3", "--build=make all", "--check", "make test", "--quiet", "proj"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->out_dir, "/o");
    EXPECT_EQ(options->jobs, 3);
    EXPECT_EQ(options->build_command, "make all");
    EXPECT_EQ(options->check_command, "make test");
    EXPECT_TRUE(options->quiet);
    EXPECT_EQ(options->project_dir, "proj");

    options = parse_run_options({"/src/proj/"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->out_dir, "/src/proj-hdrslim");
    EXPECT_GT(options->jobs, 0);

    EXPECT_FALSE(parse_run_options({}, error));
    EXPECT_EQ(error, "no project directory given");
    EXPECT_FALSE(parse_run_options({"-j", "0", "p"}, error));
    EXPECT_FALSE(parse_run_options({"-j", "many", "p"}, error));
    EXPECT_FALSE(parse_run_options({"--frobnicate", "p"}, error));
    EXPECT_EQ(error, "unknown option --frobnicate");
    EXPECT_FALSE(parse_run_options({"p", "q"}, error));
    EXPECT_FALSE(parse_run_options({"p", "--out"}, error));
    EXPECT_EQ(error, "option --out needs a value");
}
