// c2ta takes the flags of a compile command: the ones that shape the unit go
// to libclang, the rest is dropped without harm.
#include "c2ta_run.h"
#include "command_line.h"
#include "dump_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool has(const std::vector<std::string> &list, const std::string &item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST(C2taCommandLine, KeepsWhatShapesTheUnitAndDropsTheRest)
{
    Invocation invocation = parse_command_line({"-c", "-o", "x.o", "-O2", "-Wall", "-Werror", "-MD", "-MF", "x.d",
                                                "-DWIDTH=3", "-I", "inc", "-Iother", "-std=c99", "-g", "-fPIC",
                                                "-include", "pre.h", "lib.a", "src/x.c"});
    EXPECT_EQ(invocation.error, "");
    EXPECT_EQ(invocation.input, "src/x.c");
    EXPECT_FALSE(invocation.preprocessed);
    const std::vector<std::string> &args = invocation.clang_arguments;
    for (const char *kept : {"-O2", "-DWIDTH=3", "-I", "inc", "-Iother", "-std=c99", "-include", "pre.h"})
        EXPECT_TRUE(has(args, kept)) << kept;
    for (const char *dropped : {"-c", "-o", "x.o", "-Werror", "-MF", "x.d", "-g", "-fPIC", "lib.a", "-Wall"})
        EXPECT_FALSE(has(args, dropped)) << dropped;

    EXPECT_TRUE(parse_command_line({"unit.cpp.c"}).preprocessed);
    EXPECT_TRUE(parse_command_line({"unit.i"}).preprocessed);
    Invocation preprocessed = parse_command_line({"-Iinc", "-DX", "-std=c11", "u.cpp.c"});
    EXPECT_FALSE(has(preprocessed.clang_arguments, "-Iinc"));
    EXPECT_TRUE(has(preprocessed.clang_arguments, "-std=c11"));

    EXPECT_NE(parse_command_line({"a.c", "b.c"}).error, "");
    EXPECT_NE(parse_command_line({"-c", "-o", "a.c"}).error, "");
}

TEST(C2taCommandLine, WholeCompileCommandRuns)
{
    Scratch scratch;
    scratch.write("inc/w.h", "typedef int width_t[WIDTH];\n");
    scratch.write("main.c", "#include \"w.h\"\nwidth_t table;\n");
    RunResult result =
        scratch.c2ta("-c -o main.o -O2 -Wall -Wextra -Werror -MD -MF main.d -DWIDTH=3 -Iinc -std=c99 -g main.c");
    ASSERT_EQ(result.status, 0) << result.err;
    Dump dump = read_dump(result.out);
    std::string table_type = dump.successors(dump.only("cObject", "table"), "cInstance").front();
    EXPECT_EQ(dump.attribute(table_type, "name"), "width_t");
    std::string array = dump.successors(table_type).front();
    EXPECT_EQ(dump.attribute(array, "name"), "int[3]");
    EXPECT_EQ(scratch.run("test -e main.o || test -e main.d").status, 1) << "c2ta writes no compiler outputs";
}
