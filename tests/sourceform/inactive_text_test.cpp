// The text of a header that no fact covers and that stands in a condition: one
// piece a declaration (a struct with a nested chain stays whole), unbalanced
// lines (`extern "C" {`) alone, nothing covered and nothing outside conditions;
// and whether a piece declares a name again or only uses it.
#include "inactive_text.h"

#include <gtest/gtest.h>

TEST(InactiveText, PiecesOfUncoveredBranchesAndTheNamesTheyDeclare) {
    original_file f("h.h", "#ifndef H_H\n"                  // 1
                           "#define H_H\n"                  // 2
                           "#ifdef __cplusplus\n"           // 3
                           "extern \"C\" {\n"               // 4
                           "#endif\n"                       // 5
                           "int plain(void);\n"             // 6
                           "#ifdef WIDE\n"                  // 7
                           "typedef long long count_t;\n"   // 8
                           "struct wide {\n"                // 9
                           "  int a;\n"                     // 10
                           "#ifdef EXTRA\n"                 // 11
                           "  int b;\n"                     // 12
                           "#endif\n"                       // 13
                           "};\n"                           // 14
                           "void f(count_t n);\n"           // 15
                           "#else\n"                        // 16
                           "typedef int count_t;\n"         // 17
                           "#endif\n"                       // 18
                           "typedef int (*handler)(int);\n" // 19
                           "#endif\n");                     // 20
    std::vector<uncovered_piece> pieces = uncovered_pieces(f, {{6, 6}, {17, 17}, {19, 19}});
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].first, 4);
    EXPECT_EQ(pieces[0].last, 4);
    EXPECT_FALSE(pieces[0].whole) << "its brace closes elsewhere";
    EXPECT_EQ(pieces[1].first, 8);
    EXPECT_EQ(pieces[1].last, 8);
    EXPECT_EQ(pieces[2].first, 9);
    EXPECT_EQ(pieces[2].last, 14) << "the nested chain stays inside the structure";
    EXPECT_TRUE(pieces[2].whole);
    EXPECT_EQ(pieces[3].first, 15);

    EXPECT_TRUE(declares(f, 8, 8, "count_t"));
    EXPECT_FALSE(declares(f, 15, 15, "count_t")) << "a parameter's type is only used";
    EXPECT_TRUE(declares(f, 15, 15, "f"));
    EXPECT_TRUE(declares(f, 9, 14, "wide"));
    EXPECT_TRUE(declares(f, 19, 19, "handler"));
    EXPECT_FALSE(declares(f, 15, 15, "n")) << "a parameter closes the list";

    EXPECT_TRUE(uncovered_pieces(f, {{1, 20}}).empty()) << "all covered";
}
