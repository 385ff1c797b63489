// Runs the c2ta program on files written into a fresh scratch directory.
#pragma once

#include <string>

struct run_result {
    int status = -1;
    std::string out;
    std::string err;
};

class scratch_dir {
  public:
    scratch_dir();
    ~scratch_dir();
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    // Writes text to a file under the scratch directory (creating directories).
    void write(const std::string& relative, const std::string& text) const;
    const std::string& dir() const { return dir_; }
    // Runs a shell command in the scratch directory.
    run_result run(const std::string& command) const;
    // Runs c2ta with the given arguments in the scratch directory.
    run_result c2ta(const std::string& arguments) const;

  private:
    std::string dir_;
};
