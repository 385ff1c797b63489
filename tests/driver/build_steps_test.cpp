#include "build_capture.h"
#include "restructure_step.h"
#include "text_measure.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(BuildSteps, TellsCompilesLinksAndArchivesFromEverythingElse) {
    build_step step;
    ASSERT_TRUE(classify_step({"/usr/bin/cc", "-c", "a.c", "-o", "a.o"}, step));
    EXPECT_EQ(step.what, build_step::kind::compile);
    ASSERT_TRUE(classify_step({"x86_64-linux-gnu-gcc-12", "-o", "prog", "a.o", "b.o"}, step));
    EXPECT_EQ(step.what, build_step::kind::link);
    EXPECT_EQ(step.output, "prog");
    ASSERT_TRUE(classify_step({"ar", "rcu", "liblua.a", "a.o"}, step));
    EXPECT_EQ(step.what, build_step::kind::archive);
    EXPECT_EQ(step.output, "liblua.a");
    ASSERT_TRUE(classify_step({"/usr/bin/ranlib", "liblua.a"}, step));
    EXPECT_EQ(step.output, "liblua.a");
    // The compiler's own sub-processes, preprocessing and version probes are not steps.
    EXPECT_FALSE(classify_step({"/usr/lib/gcc/x86_64-linux-gnu/12/cc1", "-quiet", "a.c"}, step));
    EXPECT_FALSE(classify_step({"/usr/bin/as", "-o", "a.o"}, step));
    EXPECT_FALSE(classify_step({"gcc", "-E", "a.c"}, step));
    EXPECT_FALSE(classify_step({"cc", "--version"}, step));
    EXPECT_FALSE(classify_step({"make", "-j2"}, step));
}

TEST(BuildSteps, ReadsBearEventsInOrder) {
    fs::path events = fs::temp_directory_path() / "hdrslim-events-test.json";
    std::ofstream(events)
        << R"({"rid":"1","started":{"execution":{"executable":"/usr/bin/make","arguments":["make"],"working_dir":"/p"}}})"
        << "\n"
        << R"({"rid":"2","started":{"execution":{"executable":"/usr/bin/cc","arguments":["cc","-c","a.c"],"working_dir":"/p"}}})"
        << "\n"
        << R"({"rid":"2","terminated":{"status":"0"}})"
        << "\n"
        << R"({"rid":"3","started":{"execution":{"executable":"/usr/bin/gcc-12","arguments":["cc","-o","app","a.o"],"working_dir":"/p/src"}}})"
        << "\n"
        << "not json\n";
    std::vector<build_step> steps = read_build_steps(events.string());
    fs::remove(events);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].what, build_step::kind::compile);
    EXPECT_EQ(steps[1].what, build_step::kind::link);
    EXPECT_EQ(steps[1].argv[0], "/usr/bin/gcc-12"); // the program that really ran
    EXPECT_EQ(steps[1].cwd, "/p/src");
}

TEST(GeneratedMakefile, GivesIncludeOptionsAndHeaders) {
    std::string text =
        "SRCS = /t/a.cpp.new.c 7.c \nHEADERS = include.new/3.h /t/m/include.new/5.h \n"
        "HEADER_DIRS = include.new/ /t/m/include.new/ \nOBJS = ${SRCS:%.c=%.o}\n\n"
        ".c.o:\n\t${CC} -c  -Iinclude.new -I/t/m/include.new $< -o $@\n\n"
        "%.all: %.c\n\t${CC} -E -P  -Iinclude.new -I/t/m/include.new $< -o $@\n";
    std::vector<std::string> flags, headers;
    read_generated_makefile(text, "/w", flags, headers);
    EXPECT_EQ(flags, (std::vector<std::string>{"-I/w/include.new", "-I/t/m/include.new"}));
    EXPECT_EQ(headers, (std::vector<std::string>{"/w/include.new/3.h", "/t/m/include.new/5.h"}));
}

TEST(Measure, CountsTextAndFindsProjectHeadersInLineMarkers) {
    fs::path file = fs::temp_directory_path() / "hdrslim-measure-test.i";
    std::ofstream(file) << "# 1 \"/t/a.c\"\n"
                           "# 1 \"/usr/include/stdio.h\" 1 3 4\n"
                           "int printf(const char*, ...);\n"
                           "\n   \t\n"
                           "# 3 \"/t/a.c\" 2\n"
                           "# 1 \"/t/inc/x.h\" 1\n"
                           "#line 4 \"/t/inc/y.h\"\n"
                           "# 2 \"/t/m/include.new/5.h\"\n"
                           "# 9 \"/t/a.cpp.c\"\n"
                           "# 0 \"<built-in>\"\n"
                           "#pragma once\n"
                           "int x;";
    text_size size = measure_file(file.string());
    EXPECT_EQ(size.lines, 11); // blank lines do not count
    EXPECT_EQ(size.bytes, static_cast<long>(fs::file_size(file)));
    EXPECT_EQ(project_headers_in(file.string(), "/t"),
              (std::set<std::string>{"/t/inc/x.h", "/t/inc/y.h"}));
    fs::remove(file);
    EXPECT_EQ(measure_file(file.string()).lines, 0);
}

TEST(RestructurerOptions, IncludeDirectoriesInsideTheProjectOnly) {
    compile_unit a, b;
    a.flags = {"-I/t/inc", "-I", "/usr/include/x", "-iquote", "/t/q", "-DX"};
    b.flags = {"-I/t/inc", "-I/t/more"};
    EXPECT_EQ(project_include_dirs({a, b}, "/t"),
              (std::vector<std::string>{"/t/inc", "/t/q", "/t/more"}));
}
