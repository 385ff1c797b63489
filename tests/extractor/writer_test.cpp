#include "writer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(replace_filename, rewrites_only_c_that_ends_a_file_name) {
    EXPECT_EQ(replace_filename("file:main.c"), "file:main.cpp.c");
    EXPECT_EQ(replace_filename("var:x:static:util.c"), "var:x:static:util.cpp.c");
    EXPECT_EQ(replace_filename("a.c:3.1:5.2:b.c"), "a.cpp.c:3.1:5.2:b.cpp.c");
    EXPECT_EQ(replace_filename("func:f:static:util.c#2"), "func:f:static:util.cpp.c#2");
    EXPECT_EQ(replace_filename("lib.core.h"), "lib.core.h");
    EXPECT_EQ(replace_filename("func:my.cfg"), "func:my.cfg");
    // A directory whose name ends in .c is not a source file.
    EXPECT_EQ(replace_filename("/tmp/x.c/y.h:1.1:2.2"), "/tmp/x.c/y.h:1.1:2.2");
    EXPECT_EQ(replace_filename("/src/lib.c/main.c:1.1:2.2:/src/lib.c/a.c"),
              "/src/lib.c/main.cpp.c:1.1:2.2:/src/lib.c/a.cpp.c");
    EXPECT_EQ(replace_filename("a.c.c"), "a.c.cpp.c");
    EXPECT_EQ(replace_filename(".c"), ".cpp.c");
    EXPECT_EQ(replace_filename("x.cpp.c:1.1:2.2:y.c"), "x.cpp.c:1.1:2.2:y.c");
    EXPECT_EQ(replace_filename("struct:list"), "struct:list");
    EXPECT_EQ(replace_filename(""), "");
}

TEST(output_line, drops_empty_and_self_facts_and_writes_the_rest) {
    std::ostringstream out, err;
    set_fact_streams(out, err);
    output_line("2", "", "x");
    output_line("2", "x", "");
    output_line("", "x", "y");
    output_line("-1", "file:a.c", "file:a.c");
    // Compared before rewriting: these differ, and both come out alike.
    output_line("-1", "file:a.c", "file:a.cpp.c");
    output_line("2", "func:f", "var:v");
    output_line("2", "func:f", "var:v");
    output_line("4", "type:a b", "type:c");
    output_line("4", "type:c", "x.h:1.1:2\t.2");
    finish_output();
    EXPECT_EQ(out.str(), "-1 file:a.cpp.c file:a.cpp.c\n2 func:f var:v\n2 func:f var:v\n");
    EXPECT_EQ(err.str(),
              "extractor: warning: name \"type:a b\" holds white space, its facts are dropped\n"
              "extractor: warning: \"x.h:1.1:2\t.2\" of type:c holds white space, fact dropped\n");
    set_fact_streams(std::cout, std::cerr);
}

} // namespace
