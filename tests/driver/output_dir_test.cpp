#include "check_compare.h"
#include "output_dir.h"
#include "project_copy.h"
#include "run_options.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include "fresh_temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class OutputDir : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fresh_temp_dir(
            "hdrslim-out-" +
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
    // Gives `path` the mode `mode` and a modification time in 2001.
    void run_time_and_mode(const fs::path& path, int mode) {
        struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
        chmod(path.c_str(), mode);
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

TEST_F(OutputDir, TheCopyNeverLeadsOutOfItselfAndKeepsModesAndTimes) {
    fs::path proj = root / "proj", outside = root / "outside", tree = root / "tree";
    fs::create_directories(outside / "dir");
    std::ofstream(outside / "o.txt") << "outside\n";
    std::ofstream(outside / "dir" / "d.txt") << "in dir\n";
    // Inside the project: absolute, relative and directory links.
    fs::create_symlink(proj / "sub" / "b.h", proj / "abs");
    fs::create_symlink("sub/b.h", proj / "rel");
    fs::create_symlink("sub", proj / "subl");
    // Out of it: a file, a directory by a relative path, nothing, a loop; and a
    // link inside the outside directory that leads back into the project.
    fs::create_symlink(outside / "o.txt", proj / "ofile");
    fs::create_symlink("../outside/dir", proj / "odir");
    fs::create_symlink(proj / "a.c", outside / "dir" / "back");
    fs::create_symlink(outside / "missing", proj / "dangling");
    fs::create_symlink("loop", proj / "loop");
    ASSERT_EQ(mkfifo((proj / "fifo").c_str(), 0644), 0);
    // Read-only modes and old times.
    run_time_and_mode(proj / "a.c", 0444);
    run_time_and_mode(proj / "sub", 0555);

    std::string error;
    std::vector<std::string> notes;
    ASSERT_TRUE(copy_project(proj.string(), tree.string(), error, &notes)) << error;
    chmod((proj / "sub").c_str(), 0755);

    EXPECT_EQ(fs::read_symlink(tree / "abs"), "sub/b.h");
    EXPECT_EQ(fs::read_symlink(tree / "rel"), "sub/b.h");
    EXPECT_EQ(fs::read_symlink(tree / "subl"), "sub");
    EXPECT_FALSE(fs::is_symlink(tree / "ofile"));
    EXPECT_EQ(read(tree / "ofile"), "outside\n");
    EXPECT_FALSE(fs::is_symlink(tree / "odir"));
    EXPECT_EQ(read(tree / "odir" / "d.txt"), "in dir\n");
    EXPECT_EQ(fs::read_symlink(tree / "odir" / "back"), "../a.c");
    for (const char* gone : {"dangling", "loop", "fifo", ".git"})
        EXPECT_FALSE(fs::exists(fs::symlink_status(tree / gone))) << gone;
    std::string all;
    for (const std::string& note : notes)
        all += note + "\n";
    EXPECT_NE(all.find("copied odir -> " + (outside / "dir").string()), std::string::npos) << all;
    EXPECT_NE(all.find("copied ofile"), std::string::npos) << all;
    EXPECT_NE(all.find("left out dangling"), std::string::npos) << all;
    EXPECT_NE(all.find("left out loop"), std::string::npos) << all;
    EXPECT_NE(all.find("left out fifo"), std::string::npos) << all;

    struct stat copy_a, copy_sub;
    ASSERT_EQ(stat((tree / "a.c").c_str(), &copy_a), 0);
    ASSERT_EQ(stat((tree / "sub").c_str(), &copy_sub), 0);
    EXPECT_EQ(copy_a.st_mode & 0777, 0644u);
    EXPECT_EQ(copy_sub.st_mode & 0777, 0755u);
    EXPECT_EQ(fs::last_write_time(tree / "a.c"), fs::last_write_time(proj / "a.c"));
    EXPECT_EQ(fs::last_write_time(tree / "sub"), fs::last_write_time(proj / "sub"));

    // A link out to a directory that holds the project would never end.
    fs::create_symlink("..", proj / "up");
    EXPECT_FALSE(copy_project(proj.string(), (root / "tree2").string(), error));
    EXPECT_NE(error.find("the link up points at " + root.string()), std::string::npos) << error;
}

TEST(CheckOutput, TheCopysPathIsNoDifference) {
    EXPECT_EQ(
        first_output_difference("in /o/tree\nok\n", "/o/tree", "in /o/after\nok\n", "/o/after"),
        "");
    EXPECT_EQ(first_output_difference("a\nb 1\nc\n", "/o/tree", "a\nb 2\nc\n", "/o/after"),
              "line 2: before \"b 1\" / after \"b 2\"");
    EXPECT_EQ(first_output_difference("a\nb\n", "/o/tree", "a\n", "/o/after"),
              "line 2: before \"b\" / after (no more output)");
    // The other copy's path is a difference.
    EXPECT_NE(first_output_difference("/o/after\n", "/o/tree", "/o/after\n", "/o/after"), "");
}

TEST(CheckOutput, DurationsAreNoDifferenceOtherNumbersAre) {
    // How long tests took, as ctest, time and test runners print it.
    const std::string before = "1/2 Test #1: a ...   Passed    0.02 sec\n"
                               "Total Test time (real) =   0.03 sec\n"
                               "real\t0m1.204s\nok 12ms, 3 seconds, 2 min\n";
    const std::string after = "1/2 Test #1: a ...   Passed    0.15 sec\n"
                              "Total Test time (real) =   1.30 sec\n"
                              "real\t0m0.998s\nok 9ms, 41 seconds, 10 min\n";
    EXPECT_EQ(first_output_difference(before, "/o/tree", after, "/o/after"), "");
    // A count, a number glued to a name, or a size is no duration.
    EXPECT_EQ(first_output_difference("1/2 Test #1\n", "", "1/2 Test #2\n", ""),
              "line 1: before \"1/2 Test #1\" / after \"1/2 Test #2\"");
    EXPECT_NE(first_output_difference("v1.5s\n", "", "v1.6s\n", ""), "");
    EXPECT_NE(first_output_difference("12 sectors\n", "", "13 sectors\n", ""), "");
    EXPECT_NE(first_output_difference("0.5 s\nx\n", "", "0.7 s\ny\n", ""), "");
    EXPECT_EQ(first_output_difference("1 s\n", "", "2 s", ""),
              "the output ends differently (a final line break)");
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
    // The source form is what a run hands over unless the measured form alone is asked for.
    EXPECT_TRUE(options->source_form);
    options = parse_run_options({"--form", "measured", "p"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_FALSE(options->source_form);
    options = parse_run_options({"--form=source", "p"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->source_form);
    EXPECT_FALSE(parse_run_options({"--form", "preprocessed", "p"}, error));
    EXPECT_EQ(error, "--form takes source or measured, not 'preprocessed'");

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
