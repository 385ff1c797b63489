#include "contract/unit_files.h"

#include <gtest/gtest.h>

namespace {

// Every program derives a unit's files from its stem; the names have to agree
// between the one that writes a file and the one that reads it.
TEST(UnitFiles, EachProgramFindsTheFileAnotherWrote) {
    const std::string stem = "net/buf";
    const std::string preprocessed = preprocessed_source_of(stem);
    EXPECT_EQ(preprocessed, "net/buf.cpp.c");
    EXPECT_EQ(dump_file_of(stem), "net/buf.ta");
    EXPECT_EQ(fact_file_of(stem), "net/buf.rsf");
    EXPECT_EQ(rewritten_source_of(stem), "net/buf.cpp.new.c");
    // c2ta given the preprocessed source writes the dump the driver expects.
    EXPECT_EQ(dump_file_of(stem_of_input(preprocessed)), dump_file_of(stem));
    // The restructurer finds the preprocessed source from the fact file, and
    // writes the fact file and the rewritten source the driver expects.
    EXPECT_EQ(preprocessed_source_of_facts(fact_file_of(stem)), preprocessed);
    EXPECT_EQ(fact_file_of_preprocessed(preprocessed), fact_file_of(stem));
    EXPECT_EQ(rewritten_copy_of(preprocessed), rewritten_source_of(stem));
    // A directory name with a "." does not confuse the ones that cut an ending.
    EXPECT_EQ(fact_file_of_preprocessed("v1.2/a.cpp.c"), "v1.2/a.rsf");
    EXPECT_EQ(rewritten_copy_of("v1.2/a.cpp.c"), "v1.2/a.cpp.new.c");
    EXPECT_EQ(stem_of_input("v1.2/a.c"), "v1.2/a");
}

TEST(UnitFiles, EndingsAreCutOnlyWhereTheyEndTheName) {
    EXPECT_TRUE(is_preprocessed_source("a.cpp.c"));
    EXPECT_TRUE(is_preprocessed_source("/src/x.cpp.c"));
    EXPECT_FALSE(is_preprocessed_source("a.c"));
    EXPECT_FALSE(is_preprocessed_source("a.cpp.c.h"));
    EXPECT_FALSE(is_preprocessed_source("a.cpp.new.c"));
    // The first ending that fits: a preprocessed source loses all of ".cpp.c".
    EXPECT_EQ(stem_of_input("a.cpp.c"), "a");
    EXPECT_EQ(stem_of_input("a.i"), "a");
    EXPECT_EQ(stem_of_input("inc/a.h"), "inc/a");
    EXPECT_EQ(stem_of_input("a.cc"), "a.cc");
    EXPECT_EQ(stem_of_input("noext"), "noext");
    EXPECT_EQ(preprocessed_source_of_facts("unit"), "unit.cpp.c");
    EXPECT_EQ(preprocessed_source_of_facts("a.dir/unit"), "a.cpp.c");
    EXPECT_EQ(fact_file_of_preprocessed("plain"), "plain.rsf");
}

TEST(UnitFiles, RewrittenCopyKeepsTheKindOfFile) {
    EXPECT_EQ(rewritten_copy_of("dir/x.c"), "dir/x.new.c");
    EXPECT_EQ(rewritten_copy_of("inc/y.h"), "inc/y.new.h");
    EXPECT_EQ(rewritten_copy_of("c"), ".new.c");
    EXPECT_EQ(rewritten_copy_of("x.y"), "");
    EXPECT_EQ(rewritten_copy_of(""), "");
}

} // namespace
