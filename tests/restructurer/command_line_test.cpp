// Option scanning, and whole runs of the program through its executable.
#include "command_line.h"
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <fstream>

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
    const std::string command = "cd '" + dir + "' && '" RESTRUCTURER_BIN "' " + args + " 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[4096];
    while (std::size_t n = fread(chunk, 1, sizeof chunk, pipe))
        output.append(chunk, n);
    status = pclose(pipe);
    return output;
}
} // namespace

TEST(CommandLine, EachArgumentIsAnOptionOrAFactFileAndUnknownOptionsAreIgnored) {
    clean_options options;
    graph g;
    auto files = scan({"-Iinc", "a.rsf", "-I", "-Iinc", "-Msrc", "-M", "b.rsf", "-c", "a.rsf", "--",
                       "-q", "-cx", "-x"},
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

TEST(CommandLine, LoadsSeveralFactFilesWithTraces) {
    temp_dir dir;
    dir.write("src/a.c", "");
    dir.write("inc/h.h", "");
    dir.write("a.rsf", "0 func:main src/a.c:1.1:9.1\n"
                       "1 type:t inc/h.h:1.1:1.9\n"
                       "1 type:unused inc/h.h:2.1:2.9\n"
                       "2 func:main type:t\n");
    dir.write("b.rsf", "1 type:t inc/h.h:1.1:1.9\n"
                       "1 type:other inc/h.h:3.1:3.9\n");
    dir.write("GRAPH", "debug remove_unused\ndebug count\ndebug count size_of_nodes\n");
    int status = -1;
    const std::string out = run_in(dir.path(), "-Iinc -Msrc -Minc a.rsf b.rsf", status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string block = "debug count:\n\n";
    const std::string root = [&] {
        char resolved[4096];
        return std::string(realpath(dir.path().c_str(), resolved));
    }();
    EXPECT_EQ(out, block + "debug count size_of_nodes:3\n" +     // a.rsf loaded
                       block + "debug count size_of_nodes:3\n" + // system definitions removed
                       "debug remove_unused:2type:unuseddcl:" + root + "/inc/h.h[2,2]=>[0,0]\n" +
                       block + "debug count size_of_nodes:2\n" + // unused declarations removed
                       block + "debug count size_of_nodes:2\n" + // end of file
                       block + "debug count size_of_nodes:2\n" + // b.rsf loaded
                       block + "debug count size_of_nodes:2\n" +
                       "debug remove_unused:0type:tdcl:" + root + "/inc/h.h[1,1]=>[0,0]\n" +
                       "debug remove_unused:1type:otherdcl:" + root + "/inc/h.h[3,3]=>[0,0]\n" +
                       block + "debug count size_of_nodes:0\n" + block +
                       "debug count size_of_nodes:0\n" + block +
                       "debug count size_of_nodes:2\n" +         // partitioned
                       block + "debug count size_of_nodes:1\n" + // compressed: one group
                       block + "debug count size_of_nodes:1\n"); // module dependences
    EXPECT_TRUE(std::ifstream(dir.path() + "/Makefile.gen").is_open());
}
