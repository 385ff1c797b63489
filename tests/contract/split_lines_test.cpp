// Which lines of `cc -E` output are pieces of one source line split around a
// system macro's expansion, on texts the preprocessor writes.
#include "contract/split_lines.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

// The lines of a preprocessed text without its markers, each piece appended to
// the line it continues after a '|'.
std::vector<std::string> joined(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> out;
    split_lines pieces;
    while (std::getline(in, line)) {
        if (line.size() > 2 && line[0] == '#' && line[1] == ' ' && isdigit(line[2])) {
            const std::size_t open = line.find('"');
            const std::string file = line.substr(open + 1, line.find('"', open + 1) - open - 1);
            pieces.marker(file, std::atol(line.c_str() + 2), line_marker_flag(line, 3),
                          line_marker_flag(line, 1) || line_marker_flag(line, 2));
            continue;
        }
        if (pieces.text(line) && !out.empty())
            out.back() += "|" + line;
        else
            out.push_back(line);
    }
    return out;
}

} // namespace

TEST(SplitLines, PiecesAroundSystemMacrosJoinNothingElseDoes) {
    // NULL and stderr on one line: both expansions and the rests join it.
    EXPECT_EQ(joined("# 1 \"m.c\"\n"
                     "int f(void) { fprintf(\n"
                     "# 1 \"m.c\" 3 4\n"
                     "stderr\n"
                     "# 1 \"m.c\"\n"
                     ", \"%p\", \n"
                     "# 1 \"m.c\" 3 4\n"
                     "((void *)0)\n"
                     "# 1 \"m.c\"\n"
                     "); }\n"
                     "int g;\n"),
              (std::vector<std::string>{"int f(void) { fprintf(|stderr|, \"%p\", |((void *)0)|); }",
                                        "int g;"}));
    // A line that begins with the macro: the preprocessor ends the line before
    // it blank, and nothing joins a blank line.
    EXPECT_EQ(joined("# 4 \"m.c\"\n"
                     "return\n"
                     "\n"
                     "# 5 \"m.c\" 3 4\n"
                     "((void *)0)\n"
                     "# 5 \"m.c\"\n"
                     ";\n"),
              (std::vector<std::string>{"return", "", "((void *)0)|;"}));
    // A _Pragma's lines stand between markers of one line, the flag unchanged;
    // a directive is never joined, nor joined onto.
    EXPECT_EQ(joined("# 7 \"m.c\"\n"
                     "int a;\n"
                     "# 7 \"m.c\"\n"
                     "#pragma GCC diagnostic push\n"
                     "# 7 \"m.c\" 3 4\n"
                     "#pragma weak x\n"
                     "# 7 \"m.c\"\n"
                     "int b;\n"),
              (std::vector<std::string>{"int a;", "#pragma GCC diagnostic push", "#pragma weak x",
                                        "int b;"}));
    // Entering or leaving a file, another file or another line: no piece.
    EXPECT_EQ(
        joined("# 3 \"m.c\"\n"
               "int a;\n"
               "# 3 \"m.c\" 1 3 4\n"
               "int b;\n"
               "# 3 \"m.c\" 2\n"
               "int c;\n"
               "# 4 \"x.h\" 3 4\n"
               "int d;\n"
               "# 4 \"m.c\"\n"
               "int e;\n"
               "# 9 \"m.c\" 3 4\n"
               "int f;\n"),
        (std::vector<std::string>{"int a;", "int b;", "int c;", "int d;", "int e;", "int f;"}));
}

TEST(SplitLines, TheCompilersOwnOutputJoinsBackToTheSourceLines) {
    const std::string dir = testing::TempDir() + "split_lines_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/m.c") << "#include <stdio.h>\n"
                                   "#include <stddef.h>\n"
                                   "int *f(void) { fprintf(stderr, \"x\"); return NULL; }\n"
                                   "int *g(void) { return\n"
                                   "NULL; }\n"
                                   "_Pragma(\"GCC diagnostic push\") int h;\n";
    ASSERT_EQ(std::system(("cd " + dir + " && cc -E m.c -o m.i").c_str()), 0);
    std::ifstream in(dir + "/m.i");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines = joined(text.str());
    std::vector<std::string> own;
    bool found = false;
    for (const std::string& line : lines) {
        found = found || line.rfind("int *f(void)", 0) == 0;
        if (found && line.find_first_not_of(" \t") != std::string::npos) own.push_back(line);
    }
    std::filesystem::remove_all(dir);
    // The pragma and the rest of its line stay two lines, as `cc -E -P` has them.
    ASSERT_EQ(own.size(), 5u) << text.str();
    // Four pieces: stderr, the rest up to NULL, NULL, and the rest.
    EXPECT_EQ(std::count(own[0].begin(), own[0].end(), '|'), 4) << own[0];
    EXPECT_NE(own[0].find("((void *)0)|"), std::string::npos) << own[0];
    EXPECT_EQ(own[1], "int *g(void) { return");
    EXPECT_EQ(own[2].find("((void *)0)|"), 0u) << own[2];
    EXPECT_EQ(own[3].find("#pragma"), 0u) << own[3];
    EXPECT_EQ(own[4], " int h;");
}
