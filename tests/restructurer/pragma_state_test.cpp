// The state pragmas a unit is written inside: what push and pop leave in effect,
// for each kind of state, and the lines that make and undo it.
#include "codegen/pragma_state.h"

#include <gtest/gtest.h>

namespace {
pragma_wrap after(const std::vector<std::string>& lines) {
    pragma_state state;
    for (const std::string& line : lines)
        state.read(line);
    return state.wrap();
}
} // namespace

TEST(PragmaState, DiagnosticsFollowPushAndPopInBothSpellings) {
    EXPECT_TRUE(after({}).empty());
    pragma_wrap w =
        after({"#pragma GCC diagnostic push", "#pragma GCC diagnostic ignored \"-Wcast-qual\""});
    EXPECT_EQ(w.open, "#pragma GCC diagnostic push\n"
                      "#pragma GCC diagnostic ignored \"-Wcast-qual\"\n");
    EXPECT_EQ(w.close, "#pragma GCC diagnostic pop\n");
    // clang's spelling shares the stack; a pop restores what the push saved.
    w = after({"#pragma clang diagnostic ignored \"-Wunused\"", "#pragma GCC diagnostic push",
               "#pragma  clang diagnostic   ignored \"-Wcast-qual\"",
               "#pragma clang diagnostic pop"});
    EXPECT_EQ(w.open, "#pragma GCC diagnostic push\n"
                      "#pragma clang diagnostic ignored \"-Wunused\"\n");
    // A pop without a push, and pragmas of no state, change nothing.
    EXPECT_TRUE(after({"#pragma GCC diagnostic pop", "#pragma once", "#pragma weak f",
                       "#pragma GCC poison gets", "#pragma omp parallel", "#pragmatic"})
                    .empty());
}

TEST(PragmaState, PackingVisibilityAndOptionsNestAndCloseInReverse) {
    EXPECT_TRUE(after({"#pragma pack(push, 1)", "#pragma pack(pop)"}).empty());
    EXPECT_TRUE(after({"#pragma pack(2)", "#pragma pack()"}).empty());
    EXPECT_EQ(after({"#pragma pack (4)"}).open, "#pragma pack(push, 4)\n");
    EXPECT_EQ(after({"#pragma pack(2)", "#pragma pack(push)", "#pragma pack(1)"}).open,
              "#pragma pack(push, 1)\n");
    EXPECT_EQ(after({"#pragma pack(2)", "#pragma pack(push, r, 1)", "#pragma pack(pop, r)"}).open,
              "#pragma pack(push, 2)\n");

    pragma_wrap w = after({"#pragma GCC visibility push(default)", "#pragma pack(push, 1)",
                           "#pragma GCC push_options", "#pragma GCC optimize (\"O0\")",
                           "#pragma GCC diagnostic ignored \"-Wpadded\""});
    EXPECT_EQ(w.open, "#pragma GCC visibility push(default)\n"
                      "#pragma pack(push, 1)\n"
                      "#pragma GCC push_options\n"
                      "#pragma GCC optimize (\"O0\")\n"
                      "#pragma GCC diagnostic push\n"
                      "#pragma GCC diagnostic ignored \"-Wpadded\"\n");
    EXPECT_EQ(w.close, "#pragma GCC diagnostic pop\n"
                       "#pragma GCC pop_options\n"
                       "#pragma pack(pop)\n"
                       "#pragma GCC visibility pop\n");
    EXPECT_TRUE(after({"#pragma GCC visibility push(hidden)", "#pragma GCC visibility pop",
                       "#pragma GCC push_options", "#pragma GCC target(\"avx2\")",
                       "#pragma GCC pop_options"})
                    .empty());
}
