#include "driver.h"
#include "tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

struct run_result {
    int status;
    std::string out, err;
};

run_result run(const std::vector<std::string>& args, const std::string& std_in = "") {
    std::istringstream in(std_in);
    std::ostringstream out, err;
    int status = run_extractor(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(ExtractorDriver, InputErrorsGiveTheirMessageAndExitStatus) {
    run_result missing = run({"/nonexistent/dump.ta"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.find("/nonexistent/dump.ta"), std::string::npos);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(run({"/"}).status, 3); // a directory opens but cannot be read

    // Standard input: a syntax error ends the run with status 1 and no facts.
    run_result bad = run({}, "$INSTANCE 1 cObject x {}\n)\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("parse error"), std::string::npos);
    EXPECT_EQ(run({}, "$INSTANCE 1 cObject x {}\n").status, 0);

    // A file: the error is reported, the status stays 0.
    std::string path = ::testing::TempDir() + "extractor_driver_bad.ta";
    std::ofstream(path) << "$INSTANCE 1 cObject x { = }\n";
    run_result file = run({path, "ignored"});
    EXPECT_EQ(file.status, 0);
    EXPECT_NE(file.err.find("parse error at line 1"), std::string::npos);
    std::remove(path.c_str());
    std::ifstream tmp(path + ".tmp");
    EXPECT_FALSE(tmp.good()); // nothing is written beside the input
}

TEST(ExtractorDriver, BundledExampleIsReadWhole) {
    run_result r = run({HDRSLIM_SOURCE_DIR "/examples/hello/hello.ta"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

} // namespace

namespace {

// Graphs are expected to be forests, but a cycle in the input must not hang
// the run: every walk is bounded and every search remembers what it saw.
TEST(ExtractorDriver, CyclesInTheInputDoNotHangTheRun) {
    std::string text = "$INSTANCE C cScopeCompil x { name = \"c.c\" }\n"
                       "$INSTANCE M cScopeFile x { name = \"c.c\" }\n"
                       "$INSTANCE f cFunction x { name = \"f\" beg = 1.1 end = 1.5 }\n"
                       "$INSTANCE b cBlock x { end = 3.1 }\n"
                       "$INSTANCE b2 cBlock x { end = 2.1 }\n"
                       "$INSTANCE o cObject x { name = \"o\" }\n"
                       "$INSTANCE p1 cPtrType x { name = \"a *\" }\n"
                       "$INSTANCE p2 cPtrType x { name = \"b *\" }\n"
                       "$INSTANCE T cAliasType x { name = \"T\" }\n"
                       "$INSTANCE r cNameRef x { name = \"T\" }\n"
                       "(cArcSon C M) {}\n(cArcSon M f) {}\n(cArcSon f b) {}\n"
                       "(cArcSon b b2) {}\n(cArcSon b2 b) {}\n(cArcSon b2 o) {}\n"
                       "(cInstance o p1) {}\n(cInstance p1 p2) {}\n(cInstance p2 p1) {}\n"
                       "(cArcSon M T) {}\n(cInstance T p1) {}\n(cArcSon T T) {}\n"
                       "(cArcSon b2 r) {}\n(cArcOpd r b2) {}\n";
    run_result r = run({}, text);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("0 func:f c.cpp.c:1.1:3.1\n"), std::string::npos) << r.out;
}

} // namespace
