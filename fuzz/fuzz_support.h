// Helpers shared by the fuzz targets that read files rather than streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace fuzz_support {

// A directory of this process for the files an input is written to.
inline const std::string& scratch_dir() {
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/hdrslim-fuzz-XXXXXX";
        const char* made = mkdtemp(&pattern[0]);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

inline std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = scratch_dir() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

// Standard output off while a target runs: the restructurer reports progress
// and warnings there, which would only slow the fuzzer down.
class quiet_stdout {
  public:
    quiet_stdout() : saved_(std::cout.rdbuf(nullptr)) {}
    ~quiet_stdout() { std::cout.rdbuf(saved_); }

  private:
    std::streambuf* saved_;
};

} // namespace fuzz_support
