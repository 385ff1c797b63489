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

TEST(extractor_driver, input_errors_and_exit_statuses) {
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

TEST(extractor_driver, bundled_example_reads_whole) {
    run_result r = run({HDRSLIM_SOURCE_DIR "/examples/hello/hello.ta"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

} // namespace
