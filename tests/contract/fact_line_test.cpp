#include "contract/fact_kind.h"
#include "contract/fact_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

fact read(const std::string& line) {
    fact f;
    f.kind = 99;
    if (!read_fact_line(line, f)) f.subject = "<not a fact>";
    return f;
}

// What the extractor writes, the restructurer reads back field for field.
TEST(FactLine, WrittenLinesReadBackAsTheSameFact) {
    const fact written[] = {
        {fact_kind::file_units, "file:/src/a.h", "3:0"},
        {fact_kind::inclusion, "file:a.cpp.c", "file:/usr/include/stdio.h"},
        {fact_kind::definition, "func:main", "a.cpp.c:1.1:9.2"},
        {fact_kind::declaration, "var:n:static:a.cpp.c", "a.h:2.1:2.9"},
        {fact_kind::definition_uses, "func:main", "struct:list"},
        {fact_kind::definition_uses_definition, "func:main", "var:n"},
        {fact_kind::declaration_uses, "type:t#2", "enum:0000971"},
    };
    for (const fact& f : written) {
        std::ostringstream out;
        write_fact_line(out, f.kind, f.subject, f.object);
        const std::string text = out.str();
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        const fact back = read(text.substr(0, text.size() - 1));
        EXPECT_EQ(back.kind, f.kind) << text;
        EXPECT_EQ(back.subject, f.subject) << text;
        EXPECT_EQ(back.object, f.object) << text;
    }
    std::ostringstream out;
    write_fact_line(out, fact_kind::declaration_uses, "type:a", "type:b");
    EXPECT_EQ(out.str(), "4 type:a type:b\n");
}

TEST(FactLine, ReaderTakesAnyBlanksAndIgnoresTrailingWords) {
    const fact tabs = read("\t-1\tfile:a  file:b   more words");
    EXPECT_EQ(tabs.kind, -1);
    EXPECT_EQ(tabs.subject, "file:a");
    EXPECT_EQ(tabs.object, "file:b");
    EXPECT_EQ(read("-3 file:a file:b").kind, -3); // unknown kinds are the caller's to judge
}

TEST(FactLine, ReaderRejectsLinesThatAreNoFact) {
    for (const char* line : {"", "   ", "2 func:f", "x func:f func:g", "2x func:f func:g",
                             "+ func:f func:g", "99999999999 a b", "-99999999999 a b"}) {
        fact f;
        EXPECT_FALSE(read_fact_line(line, f)) << '"' << line << '"';
    }
    fact f;
    EXPECT_TRUE(read_fact_line(std::to_string(INT_MIN) + " a b", f));
    EXPECT_EQ(f.kind, INT_MIN);
}

TEST(FactLine, WordsWithWhiteSpaceDoNotFit) {
    EXPECT_TRUE(fits_fact_line("func:f"));
    EXPECT_TRUE(fits_fact_line("/src/a.cpp.c:1.1:2.3"));
    EXPECT_FALSE(fits_fact_line(""));
    for (const char* word : {"a b", "a\tb", "a\nb", "a\rb", "a\vb", "a\fb", " a"})
        EXPECT_FALSE(fits_fact_line(word)) << '"' << word << '"';
}

} // namespace
