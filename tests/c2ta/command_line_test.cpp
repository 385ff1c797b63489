// c2ta takes the flags of a compile command: the ones that shape the unit go
// to libclang, the rest is dropped without harm.
#include "c2ta_run.h"
#include "command_line.h"
#include "dump_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST(C2taCommandLine, KeepsWhatShapesTheUnitAndDropsTheRest) {
    command_line invocation = parse_command_line({"-c",
                                                  "-o",
                                                  "x.o",
                                                  "-O2",
                                                  "-Wall",
                                                  "-Werror",
                                                  "-MD",
                                                  "-MF",
                                                  "x.d",
                                                  "-DWIDTH=3",
                                                  "-I",
                                                  "inc",
                                                  "-Iother",
                                                  "-std=c99",
                                                  "-g",
                                                  "-fPIC",
                                                  "-include",
                                                  "pre.h",
                                                  "lib.a",
                                                  "-fPIC",
                                                  "-march=native",
                                                  "-msse4.2",
                                                  "-fstack-protector-strong",
                                                  "src/x.c"});
    EXPECT_EQ(invocation.error, "");
    EXPECT_EQ(invocation.inputs, std::vector<std::string>{"src/x.c"});
    std::vector<std::string> args = clang_arguments(invocation, false);
    for (const char* kept : {"-O2", "-DWIDTH=3", "-I", "inc", "-Iother", "-std=c99", "-include",
                             "pre.h", "-fPIC", "-march=native", "-msse4.2"})
        EXPECT_TRUE(has(args, kept)) << kept;
    for (const char* dropped : {"-c", "-o", "x.o", "-Werror", "-MF", "x.d", "-g", "lib.a", "-Wall",
                                "-fstack-protector-strong"})
        EXPECT_FALSE(has(args, dropped)) << dropped;

    EXPECT_TRUE(is_preprocessed_unit("unit.cpp.c"));
    EXPECT_TRUE(is_preprocessed_unit("unit.i"));
    EXPECT_FALSE(is_preprocessed_unit("absent.c"));
    std::vector<std::string> preprocessed =
        clang_arguments(parse_command_line({"-Iinc", "-DX", "-std=c11", "u.cpp.c"}), true);
    EXPECT_FALSE(has(preprocessed, "-Iinc"));
    EXPECT_FALSE(has(preprocessed, "-DX"));
    EXPECT_TRUE(has(preprocessed, "-std=c11"));

    EXPECT_NE(parse_command_line({"a.c", "b.c"}).error, "");
    EXPECT_EQ(parse_command_line({"--batch", "a.c", "b.c"}).error, "");
    EXPECT_NE(parse_command_line({"-c", "-o", "a.c"}).error, "");
    EXPECT_EQ(batch_dump_name("src/a.c"), "src/a.ta");
    EXPECT_EQ(batch_dump_name("net/buf.cpp.c"), "net/buf.ta");
}

TEST(C2taCommandLine, WholeCompileCommandRuns) {
    scratch_dir scratch;
    scratch.write("inc/w.h", "typedef int width_t[WIDTH];\n");
    scratch.write("main.c", "#include \"w.h\"\nwidth_t table;\n");
    run_result result = scratch.c2ta("-c -o main.o -O2 -fPIC -march=x86-64 -Wall -Wextra -Werror "
                                     "-MD -MF main.d -DWIDTH=3 -Iinc -std=c99 "
                                     "-g -fstack-clash-protection -Wl,-z,relro main.c");
    ASSERT_EQ(result.status, 0) << result.err;
    ta_dump dump = read_dump(result.out);
    std::string table_type = dump.successors(dump.only("cObject", "table"), "cInstance").front();
    EXPECT_EQ(dump.attribute(table_type, "name"), "width_t");
    std::string array = dump.successors(table_type).front();
    EXPECT_EQ(dump.attribute(array, "name"), "int[3]");
    EXPECT_EQ(scratch.run("test -e main.o || test -e main.d").status, 1)
        << "c2ta writes no compiler outputs";
}

// --batch writes each unit's dump beside it, the same text a single run
// prints, and a unit that fails leaves no dump of its own behind.
TEST(C2taCommandLine, BatchWritesOneDumpPerUnit) {
    scratch_dir scratch;
    scratch.write("inc/h.h", "struct h { int x; };\n");
    scratch.write("a.c", "#include \"h.h\"\nstruct h one;\n");
    scratch.write("sub/b.c", "#include \"h.h\"\nint b(struct h *p) { return p->x; }\n");
    scratch.write("bad.c", "int bad( {\n");
    // With no umask in the way, the dumps get the tools' mode 0664.
    run_result batch = scratch.run("umask 0; '" C2TA_PROGRAM "' -Iinc --batch a.c sub/b.c bad.c");
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.out, "");
    EXPECT_NE(batch.err.find("bad.c"), std::string::npos);
    for (const char* unit : {"a", "sub/b"}) {
        run_result single = scratch.c2ta("-Iinc " + std::string(unit) + ".c");
        ASSERT_EQ(single.status, 0);
        EXPECT_EQ(scratch.run(std::string("cat ") + unit + ".ta").out, single.out) << unit;
    }
    EXPECT_EQ(scratch.run("ls bad.ta bad.ta.tmp").status, 2);
    EXPECT_EQ(scratch.run("stat -c %a a.ta").out, "664\n");
}

// --unit names each unit's dump and log: a unit that fails keeps its own
// messages and leaves no dump (not even an old one), and the units after it are
// still written, the same text a single run prints.
TEST(C2taCommandLine, UnitListKeepsEachUnitsResultAndMessages) {
    scratch_dir scratch;
    scratch.write("inc/h.h", "struct h { int x; };\n");
    scratch.write("a.c", "#include \"h.h\"\nstruct h one;\n");
    scratch.write("bad.c", "int bad( {\n");
    scratch.write("sub/b.c", "#include \"h.h\"\nint b(struct h *p) { return p->x; }\n");
    scratch.write("bad.ta", "stale dump of an earlier run\n");
    scratch.write("c.c", "int c;\n");
    run_result run = scratch.run("umask 0; '" C2TA_PROGRAM "' -Iinc --unit a.c out-a.ta a.log "
                                 "--unit bad.c bad.ta bad.log --unit sub/b.c b.ta b.log "
                                 "--unit c.c missing/c.ta c.log");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(scratch.run("ls bad.ta").status, 2);
    std::string bad_log = scratch.run("cat bad.log").out;
    EXPECT_NE(bad_log.find("bad.c:1:"), std::string::npos) << bad_log;
    EXPECT_NE(scratch.run("cat c.log").out.find("missing/c.ta"), std::string::npos)
        << "a dump that cannot be written is that unit's message";
    const char* const good[][3] = {{"a.c", "out-a.ta", "a.log"}, {"sub/b.c", "b.ta", "b.log"}};
    for (const auto& unit : good) {
        run_result single = scratch.c2ta(std::string("-Iinc ") + unit[0]);
        ASSERT_EQ(single.status, 0);
        EXPECT_EQ(scratch.run(std::string("cat ") + unit[1]).out, single.out) << unit[0];
        EXPECT_EQ(scratch.run(std::string("cat ") + unit[2]).out, "") << unit[0];
    }
    EXPECT_EQ(scratch.run("stat -c %a b.ta b.log").out, "664\n664\n");

    EXPECT_NE(parse_command_line({"--unit", "a.c", "a.ta"}).error, "");
    EXPECT_NE(parse_command_line({"--unit", "a.c", "a.ta", "a.log", "b.c"}).error, "");
    command_line two = parse_command_line(
        {"-std=c99", "--unit", "a.c", "a.ta", "a.log", "--unit", "b.c", "b.ta", "b.log"});
    EXPECT_EQ(two.error, "");
    EXPECT_EQ(two.inputs, (std::vector<std::string>{"a.c", "b.c"}));
    ASSERT_EQ(two.units.size(), 2u);
    EXPECT_EQ(two.units[1].log, "b.log");

    // --bound names a unit listed before it; the bound goes to that unit alone.
    EXPECT_NE(
        parse_command_line({"--bound", "a.c", "a.b", "a.blog", "--unit", "a.c", "a.ta", "a.log"})
            .error,
        "");
    EXPECT_NE(parse_command_line({"--unit", "a.c", "a.ta", "a.log", "--bound", "a.c", "a.b"}).error,
              "");
    command_line bounded = parse_command_line({"--unit", "a.c", "a.ta", "a.log", "--unit", "b.c",
                                               "b.ta", "b.log", "--bound", "b.c", "b.b", "b.blog"});
    EXPECT_EQ(bounded.error, "");
    EXPECT_EQ(bounded.inputs, (std::vector<std::string>{"a.c", "b.c"}));
    ASSERT_EQ(bounded.units.size(), 2u);
    EXPECT_EQ(bounded.units[0].bound, "");
    EXPECT_EQ(bounded.units[1].bound, "b.b");
    EXPECT_EQ(bounded.units[1].bound_log, "b.blog");
}
