#include "scanner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Every token of `text`, words shown as [text], punctuation as itself and
// "$INSTANCE" as INSTANCE.
std::vector<std::string> tokens(const std::string& text) {
    std::istringstream in(text);
    ta_scanner scan(in);
    std::vector<std::string> out;
    for (token t = scan.next(); t.kind != token_kind::end; t = scan.next()) {
        switch (t.kind) {
        case token_kind::instance:
            out.push_back("INSTANCE");
            break;
        case token_kind::lbrace:
            out.push_back("{");
            break;
        case token_kind::rbrace:
            out.push_back("}");
            break;
        case token_kind::lparen:
            out.push_back("(");
            break;
        case token_kind::rparen:
            out.push_back(")");
            break;
        case token_kind::equals:
            out.push_back("=");
            break;
        case token_kind::word:
            out.push_back("[" + std::string(t.text) + "]");
            break;
        case token_kind::end:
            break;
        }
    }
    return out;
}

using v = std::vector<std::string>;

TEST(TaScanner, QuotedTextRunsToTheLastQuoteOfItsLine) {
    EXPECT_EQ(tokens("name = \"a\" x \"b\"\n\"c\""),
              (v{"[name]", "=", "[\"a\" x \"b\"]", "[\"c\"]"}));
    // A lone double quote is a word of its own; quotes never join lines.
    EXPECT_EQ(tokens("a \" b\n\"x\""), (v{"[a]", "[\"]", "[b]", "[\"x\"]"}));
    // Punctuation inside quotes is text.
    EXPECT_EQ(tokens("{ name = \"f(}{=)\" }"), (v{"{", "[name]", "=", "[\"f(}{=)\"]", "}"}));
    EXPECT_EQ(tokens("\"\""), (v{"[\"\"]"}));
}

TEST(TaScanner, SingleQuotesMatterOnlyWithBlanks) {
    EXPECT_EQ(tokens("c = ' ' d"), (v{"[c]", "=", "[' ']", "[d]"}));
    EXPECT_EQ(tokens("'x' 'y'"), (v{"['x' 'y']"}));
    EXPECT_EQ(tokens("'x'=y"), (v{"['x']", "=", "[y]"}));
    // A word holding a quote inside is still a word; one quote alone too.
    EXPECT_EQ(tokens("it's ok '"), (v{"[it's]", "[ok]", "[']"}));
}

TEST(TaScanner, WordsTakeEveryByteButTheSeparators) {
    EXPECT_EQ(tokens("x:y.c $a 12.5\r\n"), (v{"[x:y.c]", "[$a]", "[12.5\r]"}));
    EXPECT_EQ(tokens("a\tb\n\nc"), (v{"[a]", "[b]", "[c]"}));
    std::string bytes = std::string("\xff\x80") + '\0' + "z";
    EXPECT_EQ(tokens(bytes + " q"), (v{"[" + bytes + "]", "[q]"}));
    EXPECT_EQ(tokens("a(b)c=d"), (v{"[a]", "(", "[b]", ")", "[c]", "=", "[d]"}));
}

TEST(TaScanner, KeywordsFollowTheLongestMatch) {
    EXPECT_EQ(tokens("$INSTANCE $INSTANCEX $INSTANCE{"),
              (v{"INSTANCE", "[$INSTANCEX]", "INSTANCE", "{"}));
    EXPECT_EQ(tokens("$INHERIT $ENTITY $RELATION $NOTE $SCHEME TUPLE $SCHEME ATTRIBUTE "
                     "$FACT TUPLE $FACT ATTRIBUTE"),
              v{});
    EXPECT_EQ(tokens("$NOTES $SCHEME  TUPLE $FACT\tTUPLE"),
              (v{"[$NOTES]", "[$SCHEME]", "[TUPLE]", "[$FACT]", "[TUPLE]"}));
    // The two-word keyword wins over the shorter word and leaves the rest.
    EXPECT_EQ(tokens("$FACT TUPLE :"), (v{"[:]"}));
    EXPECT_EQ(tokens("$FACT TUPLEX"), (v{"[X]"}));
}

TEST(TaScanner, TokensOfAnyLengthKeepTheirLineNumbers) {
    std::string huge(3 << 20, 'w');
    std::istringstream in("a\n" + huge + " \"" + huge + "\"\n\nb");
    ta_scanner scan(in);
    token t = scan.next();
    EXPECT_EQ(t.line, 1);
    t = scan.next();
    EXPECT_EQ(t.text.size(), huge.size());
    EXPECT_EQ(t.line, 2);
    t = scan.next();
    EXPECT_EQ(t.text.size(), huge.size() + 2);
    t = scan.next();
    EXPECT_EQ(t.text, "b");
    EXPECT_EQ(t.line, 4);
    EXPECT_EQ(scan.next().kind, token_kind::end);
    EXPECT_FALSE(scan.read_failed());
}

} // namespace
