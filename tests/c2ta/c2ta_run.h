// Runs the c2ta program on files written into a fresh scratch directory.
#pragma once

#include <string>

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class Scratch {
  public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // Writes text to a file under the scratch directory (creating directories).
    void write(const std::string& relative, const std::string& text) const;
    const std::string& dir() const { return dir_; }
    // Runs a shell command in the scratch directory.
    RunResult run(const std::string& command) const;
    // Runs c2ta with the given arguments in the scratch directory.
    RunResult c2ta(const std::string& arguments) const;

  private:
    std::string dir_;
};
