// The measure reads the original text the units phase preprocessed
// (<unit>.cpp.c, which keeps the fall-through comments) instead of
// preprocessing it again: its figures must be those of a plain `cc -E`.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"
#include "text_measure.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

TEST(MeasureReuse, ACommentAloneOnItsLineIsNoText) {
    fs::path file = fresh_temp_dir("hdrslim-comment-lines") / "unit.cpp.c";
    std::ofstream(file) << "# 1 \"/t/a.c\"\n"
                           "int f(int x) { switch (x) { case 1: x++;\n"
                           "  /* fall through */\n"
                           "   // FALLTHROUGH\n"
                           "  case 2: x++; /* FALLTHRU */\n"
                           "  /**/ case 3: break; } return x; /* a */ }\n"
                           "/* a */ int /* b */ g;\n";
    text_origins o = read_origins(file.string(), "/t");
    EXPECT_EQ(o.own, 4);
    fs::remove_all(file.parent_path());
}

TEST(MeasureReuse, ASystemMacrosExpansionIsNoLineOfItsOwn) {
    // `cc -E` puts UCHAR_MAX's expansion and the rest of the line on lines of
    // their own, between markers naming the same line; `cc -E -P` writes one
    // line. A blank line repeated by a marker is no piece of the next line.
    fs::path file = fresh_temp_dir("hdrslim-macro-pieces") / "unit.cpp.c";
    std::ofstream(file) << "# 1 \"/t/a.c\"\n"
                           "# 1 \"/t/h.h\" 1\n"
                           "extern const char table[\n"
                           "# 1 \"/t/h.h\" 3 4\n"
                           "(0x7f * 2 + 1)\n"
                           "# 1 \"/t/h.h\"\n"
                           "+ 2];\n"
                           "\n"
                           "# 2 \"/t/h.h\"\n"
                           "int h;\n"
                           "# 2 \"/t/a.c\" 2\n"
                           "int *p =\n"
                           "# 2 \"/t/a.c\" 3 4\n"
                           "((void *)0)\n"
                           "# 2 \"/t/a.c\"\n"
                           ";\n"
                           "int q;\n"
                           // A _Pragma's lines, each between markers of one line.
                           "# 4 \"/t/a.c\"\n"
                           "#pragma GCC diagnostic push\n"
                           "# 4 \"/t/a.c\"\n"
                           "#pragma GCC diagnostic pop\n"
                           "# 4 \"/t/a.c\"\n"
                           "int r;\n";
    text_origins o = read_origins(file.string(), "/t");
    EXPECT_EQ(o.project, 2);
    EXPECT_EQ(o.own, 5);
    EXPECT_EQ(o.project_headers["/t/h.h"], 2);
    fs::remove_all(file.parent_path());
}

TEST(MeasureReuse, TheUnitsPhaseTextCountsAsAPlainPreprocessing) {
    fs::path root = fresh_temp_dir("hdrslim-measure-reuse");
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", root / "shop", fs::copy_options::recursive);
    fs::path main = root / "shop" / "main.c";
    std::ofstream(main, std::ios::app) << "int shop_step(int x) {\n  switch (x) {\n"
                                          "  case 1: x++;\n      /* fall through */\n"
                                          "  case 2: x++;\n  // FALLTHROUGH\n"
                                          "  default: break;\n  }\n  return x;\n}\n";
    std::string out = (root / "out").string();
    ASSERT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --build make --out " + out + " " +
                  (root / "shop").string() + " > " + (root / "stdout.txt").string() + " 2>&1"),
              0)
        << read(root / "stdout.txt");
    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    nlohmann::json unit;
    for (const auto& u : report["units"])
        if (u["name"] == "main.c") unit = u;
    ASSERT_TRUE(unit.is_object());
    // What the original text is when preprocessed on its own, the way make
    // compiles it (the example's flags).
    fs::path tree = root / "out" / "tree";
    ASSERT_EQ(run("cd '" + tree.string() + "' && cc -I'" + (tree / "include").string() +
                  "' -O1 -Wall -E '" + (tree / "main.c").string() + "' > '" +
                  (root / "main.i").string() + "'"),
              0);
    text_origins plain = read_origins((root / "main.i").string(), tree.string());
    EXPECT_EQ(unit["origin_before"]["own"], plain.own);
    EXPECT_EQ(unit["origin_before"]["project_headers"], plain.project);
    EXPECT_EQ(unit["origin_before"]["system_headers"], plain.system);
    EXPECT_EQ(unit["headers_read_before"], 4);
    fs::remove_all(root);
}

// A file included inside a declaration (a table in a function's body) is that
// declaration's text, whatever it is: a restructured source copies the
// declaration whole, with no marker of the file. Braces in literals and
// comments do not open a declaration.
TEST(MeasureReuse, AFileIncludedInsideADeclarationIsTheDeclarationsText) {
    fs::path file = fresh_temp_dir("hdrslim-nested-include") / "unit.cpp.c";
    std::ofstream(file) << "# 1 \"/t/a.c\"\n"
                           "const char* s = \"{\"; char c = '{'; /* { */ // {\n"
                           "# 1 \"/t/top.h\" 1\n"
                           "int top;\n"
                           "# 3 \"/t/a.c\" 2\n"
                           "static const int table[] = {\n"
                           "# 1 \"/t/fixed.h\" 1\n"
                           "1, 2,\n"
                           "# 1 \"/t/more.h\" 1\n"
                           "3,\n"
                           "# 3 \"/t/fixed.h\" 2\n"
                           "4\n"
                           "# 5 \"/t/a.c\" 2\n"
                           "};\n"
                           "# 1 \"/t/after.h\" 1\n"
                           "int after;\n"
                           "# 7 \"/t/a.c\" 2\n"
                           "int f(void) { return table[0]; }\n";
    text_origins o = read_origins(file.string(), "/t");
    EXPECT_EQ(o.project, 2); // top.h and after.h
    EXPECT_EQ(o.own, 7);
    EXPECT_EQ(o.project_headers,
              (std::map<std::string, long>{
                  {"/t/top.h", 1}, {"/t/fixed.h", 0}, {"/t/more.h", 0}, {"/t/after.h", 1}}));
    fs::remove_all(file.parent_path());
}

// Declarations of headers that the source form writes into a source count as
// project-header text, by the source's own line numbers: the lines the markers
// place inside the given range of that source, and no others.
TEST(MeasureReuse, HeaderDeclarationsWrittenIntoASourceCountAsHeaderText) {
    fs::path file = fresh_temp_dir("hdrslim-header-lines") / "unit.i";
    std::ofstream(file) << "# 0 \"/s/a.c\"\n"
                           "# 1 \"/s/a.c\"\n"
                           "int own1;\n"                     // 1
                           "# 1 \"/s/x_types.h\" 1\n"        // a header: project anyway
                           "struct x { int n; };\n"          // x_types.h 1
                           "int other;\n"                    // x_types.h 2, not a.c's line 2
                           "# 3 \"/s/a.c\" 2\n"              //
                           "int copied1;\n"                  // 3
                           "\n"                              // 4
                           "int copied2(void);\n"            // 5
                           "# 9 \"/s/a.c\"\n"                //
                           "int own2(void) { return 0; }\n"; // 9
    header_lines_in_source lines;
    lines.source = "/s/a.c";
    lines.first = 2;
    lines.last = 5;
    text_origins o = read_origins(file.string(), "/s", lines);
    EXPECT_EQ(o.own, 2);
    EXPECT_EQ(o.project, 4);
    text_origins plain = read_origins(file.string(), "/s");
    EXPECT_EQ(plain.own, 4);
    EXPECT_EQ(plain.project, 2);
    lines.source = "/s/b.c";
    EXPECT_EQ(read_origins(file.string(), "/s", lines).own, 4);
    fs::remove_all(file.parent_path());
}
