// What hdrslim does before any real work: the outputs of an earlier build are
// left out of the copy, skipped sources are told once, GCC's line markers become
// standard ones, and the command line refuses what cannot work.
#include "build_outputs.h"
#include "code_comments.h"
#include "compile_db.h"
#include "line_markers.h"
#include "progress.h"
#include "run_options.h"
#include "source_indentation.h"
#include "text_measure.h"

#include "fresh_temp_dir.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(BuildOutputs, ObjectsProgramsLibtoolFilesAndCMakeAndMesonFoldersGo) {
    fs::path root = fresh_temp_dir("hdrslim-clean");
    fs::remove_all(root);
    fs::create_directories(root / "src" / ".libs");
    fs::create_directories(root / "build" / "CMakeFiles" / "3.25.1" / "CompilerIdC");
    std::ofstream(root / "src" / "a.c") << "int a;\n";
    std::ofstream(root / "src" / "a.o") << std::string("\177ELF\2\1\1\0", 8) << "code";
    std::ofstream(root / "src" / ".libs" / "liba.a") << "!<arch>\nmembers";
    std::ofstream(root / "src" / "a.lo") << "# a.lo - a libtool object file\n";
    std::ofstream(root / "prog") << std::string("\177ELF", 4);
    std::ofstream(root / "build" / "CMakeCache.txt") << "CMAKE_HOME_DIRECTORY:INTERNAL=/x\n";
    std::ofstream(root / "build" / "CMakeFiles" / "3.25.1" / "CompilerIdC" / "CMakeCCompilerId.c")
        << "int main(void) { return 0; }\n";
    fs::create_directories(root / "mbuild" / "meson-private");
    std::ofstream(root / "mbuild" / "meson-private" / "coredata.dat") << "state";
    std::ofstream(root / "mbuild" / "build.ninja") << "rule cc\n";
    fs::create_directories(root / "notes" / "meson-private");
    std::ofstream(root / "notes" / "meson-private" / "todo.txt") << "not a build folder\n";
    std::ofstream(root / "README") << "ELF is not at the start\n";
    std::ofstream(root / "archive.txt") << "!<arch>";

    std::vector<std::string> removed = clean_build_outputs(root.string(), root.string());
    EXPECT_EQ(removed, (std::vector<std::string>{"build/", "mbuild/", "prog", "src/.libs/liba.a",
                                                 "src/a.lo", "src/a.o"}));
    EXPECT_FALSE(fs::exists(root / "build"));
    EXPECT_FALSE(fs::exists(root / "mbuild"));
    EXPECT_TRUE(fs::exists(root / "notes" / "meson-private" / "todo.txt"));
    EXPECT_TRUE(fs::exists(root / "src" / "a.c"));
    EXPECT_TRUE(fs::exists(root / "README"));
    EXPECT_TRUE(fs::exists(root / "archive.txt")); // too short to be an archive

    // In a git work tree, what git tracks stays whatever it holds.
    if (std::system("git --version > /dev/null 2>&1") == 0) {
        std::ofstream(root / "fixture.o") << std::string("\177ELF", 4);
        std::ofstream(root / "stray.o") << std::string("\177ELF", 4);
        std::string git = "cd " + root.string() + " && git init -q . && git add fixture.o && ";
        ASSERT_EQ(std::system((git + "true").c_str()), 0);
        removed = clean_build_outputs(root.string(), root.string());
        EXPECT_EQ(removed, (std::vector<std::string>{"stray.o"}));
        EXPECT_TRUE(fs::exists(root / "fixture.o"));
    }
    fs::remove_all(root);
}

TEST(SkippedSources, EachReasonOnceEachSourceOnce) {
    std::vector<std::string> skipped;
    for (int i = 0; i < 64; ++i)
        skipped.push_back("conftest.c: no longer exists after the build (a configure test)");
    skipped.push_back("a.cc: not a C source");
    skipped.push_back("b.cc: not a C source");
    skipped.push_back("c.cc: not a C source");
    skipped.push_back("d.cc: not a C source");
    EXPECT_EQ(
        skipped_summary(skipped),
        (std::vector<std::string>{"conftest.c: no longer exists after the build (a configure test)",
                                  "4 sources: not a C source (a.cc, b.cc, c.cc and 1 more)"}));
}

TEST(LineMarkers, GccMarkersBecomeLineDirectives) {
    EXPECT_EQ(standard_line_markers("# 12 \"/t/a.h\" 1 3 4\nint x;\n# 3 \"/t/a \\\"q\\\".c\"\n"
                                    "#line 4 \"kept.c\"\n#  5 \"two blanks: not a marker\"\n"
                                    "# define X 1\n#12 \"no blank\""),
              "#line 12 \"/t/a.h\"\nint x;\n#line 3 \"/t/a \\\"q\\\".c\"\n#line 4 \"kept.c\"\n"
              "#  5 \"two blanks: not a marker\"\n# define X 1\n#12 \"no blank\"");
}

TEST(TextOrigins, OwnProjectAndSystemTextApartAndMacroOnlyHeaders) {
    fs::path file = fresh_temp_dir("hdrslim-origins") / "unit.i";
    std::ofstream(file) << "# 0 \"/t/a.c\"\n"
                           "# 1 \"/t//\"\n" // GCC's working-directory marker
                           "# 0 \"<built-in>\"\n"
                           "# 1 \"/t/config.h\" 1\n"
                           "\n\n"
                           "# 2 \"/t/a.c\" 2\n"
                           "# 1 \"/usr/include/stdio.h\" 1 3 4\n"
                           "int printf(const char*, ...);\n"
                           "int puts(const char*);\n"
                           "# 3 \"/t/a.c\" 2\n"
                           "# 1 \"/t/inc/x.h\" 1\n"
                           "struct x { int n; };\n"
                           "# 4 \"/t/a.c\" 2\n"
                           "int v;\n"
                           "# 1 \"/o/include.new/3.h\" 1\n"
                           "int main(void) { return 0; }\n";
    text_origins o = read_origins(file.string(), "/t");
    EXPECT_EQ(o.own, 1);
    EXPECT_EQ(o.project, 1);
    EXPECT_EQ(o.system, 2);
    EXPECT_EQ(o.project_headers,
              (std::map<std::string, long>{{"/t/config.h", 0}, {"/t/inc/x.h", 1}}));
    EXPECT_EQ(o.new_headers, (std::set<std::string>{"/o/include.new/3.h"}));
    fs::remove_all(file.parent_path());
}

TEST(RunOptions, CheckNeedsBuildAndTheDatabaseIsLookedForInBuild) {
    std::string error;
    EXPECT_FALSE(parse_run_options({"--check", "make test", "proj"}, error));
    EXPECT_NE(error.find("--check needs --build"), std::string::npos) << error;
    EXPECT_FALSE(parse_run_options({"--build", "make", "-p", "b", "proj"}, error));
    auto options = parse_run_options({"-p", "out-of-tree", "proj"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->db_dir, "out-of-tree");

    fs::path root = fresh_temp_dir("hdrslim-db-lookup");
    fs::remove_all(root);
    fs::create_directories(root / "proj" / "build");
    fs::create_directories(root / "elsewhere");
    run_options o;
    o.project_dir = (root / "proj").string();
    EXPECT_EQ(find_compile_db(o), "");
    std::ofstream(root / "proj" / "build" / "compile_commands.json") << "[]";
    EXPECT_EQ(find_compile_db(o), (root / "proj" / "build" / "compile_commands.json").string());
    std::ofstream(root / "proj" / "compile_commands.json") << "[]";
    EXPECT_EQ(find_compile_db(o), (root / "proj" / "compile_commands.json").string());
    o.db_dir = (root / "elsewhere").string();
    EXPECT_EQ(find_compile_db(o), "");
    std::ofstream(root / "elsewhere" / "compile_commands.json") << "[]";
    EXPECT_EQ(find_compile_db(o), (root / "elsewhere" / "compile_commands.json").string());
    fs::remove_all(root);
}

TEST(CodeComments, OnlyFallThroughCommentsStayAndLinesKeepTheirNumbers) {
    EXPECT_TRUE(is_fallthrough_comment(" fall through "));
    EXPECT_TRUE(is_fallthrough_comment(" FALLTHRU "));
    EXPECT_TRUE(is_fallthrough_comment(" Falls through. "));
    EXPECT_TRUE(is_fallthrough_comment(" fallthrough - the next case adds one "));
    EXPECT_TRUE(is_fallthrough_comment(" else fall through "));
    EXPECT_FALSE(is_fallthrough_comment(" do not fall through here "));
    EXPECT_FALSE(is_fallthrough_comment(" fall\n through "));

    std::string text = "# 1 \"/t/a//b.c\"\n"
                       "int a; /* two\nlines */ int b; // rest\n"
                       "char *s = \"/* not a comment */\", c = '\"', *t = \"// nor this\";\n"
                       "case 1: x++; /* fall through */\n"
                       "  // FALLTHRU\n"
                       "case 2: break;\n";
    EXPECT_EQ(keep_code_comments(text), "# 1 \"/t/a//b.c\"\n"
                                        "int a;  \n int b;  \n"
                                        "char *s = \"/* not a comment */\", c = '\"', *t = \"// "
                                        "nor this\";\n"
                                        "case 1: x++; /* fall through */\n"
                                        "  // FALLTHRU\n"
                                        "case 2: break;\n");
}

TEST(SourceIndentation, TabsComeBackWhereTheOriginalLineAgrees) {
    std::map<std::string, std::vector<std::string>> files = {
        {"/t/a.c",
         {"int f(int x)", "{", "\tif (x & MASK)", "\t\treturn 0;", "  {", "\t  return 1; }", "}"}},
        {"/t/a \"q\".h", {"\tint g;", "\t/* note */ int h;", "   int i;"}}};
    auto lines_of = [&files](const std::string& name) -> const std::vector<std::string>* {
        auto found = files.find(name);
        return found == files.end() ? nullptr : &found->second;
    };
    // Lines keep their numbers after a marker; a blank stays a blank where the
    // original has no tab, a different first character, or another width (the
    // macro expanded on the line is not looked at, only its indentation).
    std::string text = "# 1 \"/t/a \\\"q\\\".h\" 1\n"
                       " int g;\n"
                       "  int h;\n"
                       "   int i;\n"
                       "# 1 \"/t/a.c\"\n"
                       "int f(int x)\n"
                       "{\n"
                       " if (x & 0x10)\n"
                       "  return 0;\n"
                       "  {\n"
                       "   return 1; }\n"
                       "}\n"
                       "# 1 \"<built-in>\"\n"
                       " int builtin;\n"
                       "# 9 \"/t/a.c\" 2\n"
                       " beyond_the_end;";
    EXPECT_EQ(restore_indentation(text, lines_of), "# 1 \"/t/a \\\"q\\\".h\" 1\n"
                                                   "\tint g;\n"
                                                   "  int h;\n"
                                                   "   int i;\n"
                                                   "# 1 \"/t/a.c\"\n"
                                                   "int f(int x)\n"
                                                   "{\n"
                                                   "\tif (x & 0x10)\n"
                                                   "\t\treturn 0;\n"
                                                   "  {\n"
                                                   "\t  return 1; }\n"
                                                   "}\n"
                                                   "# 1 \"<built-in>\"\n"
                                                   " int builtin;\n"
                                                   "# 9 \"/t/a.c\" 2\n"
                                                   " beyond_the_end;");
}

TEST(Progress, APhaseWithoutACountShowsTheLastLineOfItsLog) {
    fs::path log = fresh_temp_dir("hdrslim-progress") / "phase.log";
    std::ofstream(log) << "make[1]: Entering directory\n\tgcc -c a.c\r\n\n   \n";
    EXPECT_EQ(progress::last_line(log.string(), 70), " gcc -c a.c");
    std::ofstream(log) << std::string(5000, 'x') << "\nlast " << std::string(100, 'y');
    EXPECT_EQ(progress::last_line(log.string(), 20), "last yyyyyyyyyyyy...");
    fs::remove_all(log.parent_path());
    EXPECT_EQ(progress::last_line(log.string(), 20), "");
}

TEST(CommandLine, VersionIsPrinted) {
    FILE* out = popen((std::string(HDRSLIM_BIN) + " --version").c_str(), "r");
    ASSERT_NE(out, nullptr);
    char line[128] = {};
    ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
    EXPECT_EQ(pclose(out), 0);
    EXPECT_EQ(std::string(line).rfind("hdrslim ", 0), 0u) << line;
    EXPECT_GT(std::string(line).size(), std::string("hdrslim \n").size()) << line;
}
