#include "tailor.h"

#include "support.h"

#include <gtest/gtest.h>

using test_support::temp_dir;

namespace {
tailor::Tailor from_text(const temp_dir& dir, const std::string& text) {
    const std::string file = dir.write("GRAPH", text);
    return tailor::Tailor(file.c_str());
}
} // namespace

TEST(Tailor, CommentsBlanksAndCaseAreTakenLiterally) {
    temp_dir dir;
    auto t = from_text(dir, "progress\n#debug count\n# progress2\ndebug cycle \nDebug Count\n");
    EXPECT_TRUE(t.accept("progress"));
    EXPECT_FALSE(t.accept("debug count"));
    EXPECT_FALSE(t.accept("#debug count"));
    EXPECT_FALSE(t.accept("debug cycle"));
    EXPECT_TRUE(t.accept("debug cycle "));
    EXPECT_FALSE(t.accept("debug count"));
    EXPECT_TRUE(t.accept("Debug Count"));
    EXPECT_FALSE(t.accept("never written"));
    EXPECT_FALSE(t.accept(""));
}

TEST(Tailor, EmptyLineIsTheEmptySwitchAndLastLineNeedsNoBreak) {
    temp_dir dir;
    auto t = from_text(dir, "debug count\n\nprogress");
    EXPECT_TRUE(t.accept(""));
    EXPECT_TRUE(t.accept("debug count"));
    EXPECT_TRUE(t.accept("progress"));
}

TEST(Tailor, LongLinesAreSwitchesAndReadingGoesOn) {
    temp_dir dir;
    auto t = from_text(dir, "debug count\n" + std::string(5000, 'x') + "\nprogress\n");
    EXPECT_TRUE(t.accept("debug count"));
    EXPECT_TRUE(t.accept(std::string(5000, 'x')));
    EXPECT_FALSE(t.accept(std::string(4999, 'x')));
    EXPECT_TRUE(t.accept("progress"));
}

TEST(Tailor, MissingFileLeavesEverySwitchOffAndAnOpenStreamIsRead) {
    temp_dir dir;
    tailor::Tailor missing((dir.path() + "/no-such-file").c_str());
    EXPECT_FALSE(missing.accept("progress"));
    EXPECT_FALSE(missing.accept(""));

    const std::string file = dir.write("switches", "progress\n");
    std::ifstream stream(file);
    tailor::Tailor from_stream(stream);
    EXPECT_TRUE(from_stream.accept("progress"));
    EXPECT_TRUE(stream.is_open()); // the caller's stream is not closed
}
