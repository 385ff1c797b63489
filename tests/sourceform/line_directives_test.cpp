// The #line directives of generated files: bison writes a comment after the
// name, the preprocessor writes flags; other directives and near misses name
// nothing.
#include "line_directives.h"

#include <gtest/gtest.h>

TEST(LineDirectives, NamesOfBisonAndPreprocessorMarkersOnly) {
    std::string name;
    ASSERT_TRUE(line_directive_name("#line 11 \"src/parser.y\" /* yacc.c:1909  */", name));
    EXPECT_EQ(name, "src/parser.y");
    ASSERT_TRUE(line_directive_name("# 12 \"/abs/x.h\" 2 3", name));
    EXPECT_EQ(name, "/abs/x.h");
    ASSERT_TRUE(line_directive_name("  #  line\t3 \"a.h\"", name));
    EXPECT_EQ(name, "a.h");

    for (const char* other : {"#lineno 3 \"x\"", "#line \"x\"", "#line 3", "#line 3 \"open",
                              "#if 1", "#define X 1 \"y\"", "#include \"a.h\"", "#", "# ",
                              "int x; # 1 \"y\"", ""})
        EXPECT_FALSE(is_line_directive(other)) << other;
}
