#include "writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(ReplaceFilename, RewritesOnlyTheMainFiles) {
    const std::vector<std::string> mains = {"main.c", "/src/lib.c/main.c", "a.c.c", "x.cpp.c"};
    auto r = [&](std::string_view s) { return replace_filename(s, mains); };
    EXPECT_EQ(r("file:main.c"), "file:main.cpp.c");
    EXPECT_EQ(r("var:x:static:main.c"), "var:x:static:main.cpp.c");
    EXPECT_EQ(r("main.c:3.1:5.2:main.c"), "main.cpp.c:3.1:5.2:main.cpp.c");
    EXPECT_EQ(r("func:f:static:main.c#2"), "func:f:static:main.cpp.c#2");
    // A .c file a unit includes keeps its name: it has no preprocessed copy.
    EXPECT_EQ(r("util.c:1.1:2.1:main.c"), "util.c:1.1:2.1:main.cpp.c");
    EXPECT_EQ(r("func:f:static:util.c"), "func:f:static:util.c");
    // Only whole names count: another directory, another stem, a longer name.
    EXPECT_EQ(r("/src/lib.c/main.c:1.1:2.2:/src/lib.c/a.c"),
              "/src/lib.c/main.cpp.c:1.1:2.2:/src/lib.c/a.c");
    EXPECT_EQ(r("/other/main.c:1.1:2.2"), "/other/main.c:1.1:2.2");
    EXPECT_EQ(r("file:domain.c"), "file:domain.c");
    EXPECT_EQ(r("file:main.cc"), "file:main.cc");
    EXPECT_EQ(r("a.c.c"), "a.c.cpp.c");
    // A main file that is already a preprocessed copy stays.
    EXPECT_EQ(r("x.cpp.c:1.1:2.2"), "x.cpp.c:1.1:2.2");
    EXPECT_EQ(r("struct:list"), "struct:list");
    EXPECT_EQ(r(""), "");
    EXPECT_EQ(replace_filename("file:main.c", {}), "file:main.c");
}

TEST(OutputLine, DropsEmptyAndSelfFactsAndWritesTheRest) {
    std::ostringstream out, err;
    set_fact_streams(out, err);
    set_main_files({"a.c"});
    output_line(fact_kind::definition_uses, "", "x");
    output_line(fact_kind::definition_uses, "x", "");
    output_line(fact_kind::inclusion, "file:a.c", "file:a.c");
    // Compared before rewriting: these differ, and both come out alike.
    output_line(fact_kind::inclusion, "file:a.c", "file:a.cpp.c");
    output_line(fact_kind::definition_uses, "func:f", "var:v");
    output_line(fact_kind::definition_uses, "func:f", "var:v");
    output_line(fact_kind::declaration_uses, "type:a b", "type:c");
    output_line(fact_kind::declaration_uses, "type:c", "x.h:1.1:2\t.2");
    finish_output();
    EXPECT_EQ(out.str(), "-1 file:a.cpp.c file:a.cpp.c\n2 func:f var:v\n2 func:f var:v\n");
    EXPECT_EQ(err.str(),
              "extractor: warning: name \"type:a b\" holds white space, its facts are dropped\n"
              "extractor: warning: \"x.h:1.1:2\t.2\" of type:c holds white space, fact dropped\n");
    set_fact_streams(std::cout, std::cerr);
}

} // namespace
