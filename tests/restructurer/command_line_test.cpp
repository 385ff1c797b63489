// Option scanning, and whole runs of the program through its executable.
#include "command_line.h"
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace test_support;

namespace {
std::vector<std::string> scan(std::vector<const char*> args, graph& g) {
    args.insert(args.begin(), "restructurer");
    return scan_arguments(static_cast<int>(args.size()), args.data(), g);
}

// Runs the program in `dir` and returns its standard output and error.
std::string run_in(const std::string& dir, const std::string& args, int& status) {
    const std::string command =
        "cd '" + dir + "' && '" RESTRUCTURER_BIN "' " + args + " 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[4096];
    while (std::size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
    status = pclose(pipe);
    return output;
}
} // namespace

TEST(CommandLine, OptionsAndFileNames) {
    clean_options options;
    graph g;
    auto files = scan({"-Iinc", "a.rsf", "-I", "-Iinc", "-Msrc", "-M", "b.rsf", "-c", "a.rsf",
                       "--", "-q", "-cx", "-x"},
                      g);
    EXPECT_EQ(files, (std::vector<std::string>{"a.rsf", "b.rsf", "a.rsf"}));
    EXPECT_EQ(graph::include_dirs, (std::set<std::string>{"inc"}));
    EXPECT_EQ(graph::user_modules, (std::set<std::string>{"src"}));
    EXPECT_TRUE(g.reduce_only);
    EXPECT_TRUE(g.with_inclusions);
    EXPECT_FALSE(g.generate_facts);

    graph h;
    scan({"x.rsf", "-g", "-Ib", "-Ia"}, h);
    EXPECT_TRUE(h.generate_facts);
    EXPECT_FALSE(h.reduce_only);
    EXPECT_EQ(graph::include_dirs, (std::set<std::string>{"a", "b", "inc"}));
}

TEST(CommandLine, ProgramRunsQuietlyWithAndWithoutArguments) {
    temp_dir dir;
    dir.write("GRAPH", "progress\ndebug count\n");
    int status = -1;
    // No arguments: nothing is loaded and nothing printed, even with switches on.
    EXPECT_EQ(run_in(dir.path(), "", status), "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Options only, on an empty fact list; unknown options are ignored.
    dir.write("GRAPH", "");
    EXPECT_EQ(run_in(dir.path(), "-I. -M. -x -g --bogus", status), "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    run_in(dir.path(), "-c", status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
