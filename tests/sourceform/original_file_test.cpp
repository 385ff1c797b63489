// Reading an original file: the conditions each line stands in (an include guard
// is none), its macro definitions, include lines and comment blocks.
#include "original_file.h"

#include <gtest/gtest.h>

TEST(OriginalFile, ConditionsMacrosIncludesAndCommentsOfAGuardedHeader) {
    original_file f("a.h", "/* file comment */\n"          // 1
                           "#ifndef A_H\n"                 // 2
                           "#define A_H\n"                 // 3
                           "#include <stdio.h>\n"          // 4
                           "#include \"b.h\"\n"            // 5
                           "/* The size. */\n"             // 6
                           "#define SIZE (BASE * 2)\n"     // 7
                           "#ifdef VERBOSE\n"              // 8
                           "#define LOG(x) printf(x)\n"    // 9
                           "#elif defined(QUIET) \\\n"     // 10
                           "    && QUIET\n"                // 11
                           "#define LOG(x) 0\n"            // 12
                           "#else\n"                       // 13
                           "int log_line(const char *);\n" // 14
                           "#endif\n"                      // 15
                           "\n"                            // 16
                           "// One counter\n"              // 17
                           "// of two lines.\n"            // 18
                           "extern int count;\n"           // 19
                           "#endif\n");                    // 20
    EXPECT_EQ(f.guard(), "A_H");
    EXPECT_TRUE(f.conditions_at(7).empty()) << "the guard is not a condition";
    ASSERT_EQ(f.conditions_at(9).size(), 1u);
    const condition_place p9 = f.conditions_at(9)[0];
    EXPECT_EQ(p9.branch, 0);
    EXPECT_EQ(f.conditions_at(12)[0].branch, 1);
    EXPECT_EQ(f.conditions_at(14)[0].branch, 2);
    EXPECT_EQ(f.conditions_at(14)[0].chain, p9.chain);
    EXPECT_TRUE(f.conditions_at(8).empty()) << "an #if line stands outside its chain";
    EXPECT_TRUE(f.conditions_at(19).empty());
    const condition_chain& chain = f.chain(p9.chain);
    ASSERT_EQ(chain.branches.size(), 3u);
    EXPECT_EQ(chain.branches[1], "#elif defined(QUIET) \\\n    && QUIET")
        << "a continued directive is kept whole";
    EXPECT_TRUE(f.is_directive(11));

    ASSERT_EQ(f.macros().size(), 3u) << "the guard's #define is not a macro of the file";
    EXPECT_EQ(f.macros()[0].name, "SIZE");
    EXPECT_EQ(f.macros()[0].uses, std::vector<std::string>{"BASE"});
    EXPECT_EQ(f.macros()[1].name, "LOG");
    EXPECT_EQ(f.macros()[2].first, 12);

    ASSERT_EQ(f.includes().size(), 2u);
    EXPECT_TRUE(f.includes()[0].system);
    EXPECT_EQ(f.includes()[0].spelled, "stdio.h");
    EXPECT_FALSE(f.includes()[1].system);
    EXPECT_EQ(f.includes()[1].line, 5);

    EXPECT_EQ(f.comment_start(19), 17) << "// lines above";
    EXPECT_EQ(f.comment_start(7), 6) << "a /* */ block above";
    EXPECT_EQ(f.comment_start(14), 14) << "a directive is not a comment";
}

TEST(OriginalFile, NoGuardWhenCodeFollowsTheEndifOrTheDefineDiffers) {
    original_file trailing("t.h", "#ifndef T_H\n#define T_H\nint a;\n#endif\nint b;\n");
    EXPECT_EQ(trailing.guard(), "");
    ASSERT_EQ(trailing.conditions_at(3).size(), 1u) << "then it is an ordinary condition";
    EXPECT_TRUE(trailing.conditions_at(5).empty());

    original_file other("o.h", "#ifndef O_H\n#define P_H\nint a;\n#endif\n");
    EXPECT_EQ(other.guard(), "");
    EXPECT_EQ(other.conditions_at(3).size(), 1u);

    original_file spelled("s.h", "// s\n#if !defined( S_H )\n#define S_H\nint a;\n#endif\n");
    EXPECT_EQ(spelled.guard(), "S_H");
    EXPECT_TRUE(spelled.conditions_at(4).empty());
}

TEST(OriginalFile, DirectivesInsideCommentsAreText) {
    original_file f("c.h", "/*\n#if X\n*/\nint a;\n#if Y\nint b;\n#endif\n");
    EXPECT_TRUE(f.conditions_at(4).empty());
    EXPECT_EQ(f.conditions_at(6).size(), 1u);
    EXPECT_FALSE(f.is_directive(2));
}

TEST(OriginalFile, CommentMarksAndBracketsInsideLiteralsAreText) {
    // "/*" in a string opens no comment: the #if after it is a directive.
    original_file f("l.h", "const char *open = \"/*\";\n#if X\nint a;\n#endif\n");
    EXPECT_TRUE(f.is_directive(2));
    EXPECT_EQ(f.conditions_at(3).size(), 1u);
    // A bracket in a character literal does not hold the declaration open.
    original_file g("g.h", "int m(char c) { return c == '{'; }\nint n;\n");
    EXPECT_EQ(g.balanced_end(1, 1), 1);
}

TEST(Identifiers, CommentsStringsAndNumbersAreNotIdentifiers) {
    std::vector<std::string> expected{"int", "x", "MAX", "char", "y"};
    EXPECT_EQ(identifiers_in("int x = MAX /* NOT */ + 0x1fUL; // NOR\n"
                             "char *y = \"STR\\\"ING\", 'c', MAX;"),
              expected);
}
