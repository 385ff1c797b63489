// Progress of a run on standard error: a live bar on a terminal (phase, items done
// of total, elapsed time), plain lines otherwise, nothing when quiet.
#pragma once

#include <chrono>
#include <string>

class progress {
  public:
    enum class style { bar, lines, quiet };

    explicit progress(style how);
    // The style for standard error: a bar on a terminal, lines otherwise.
    static style for_stderr(bool quiet);

    void start_phase(const std::string& name, int total);
    void advance(int done_now = 1);
    void finish_phase();
    // A message that must not be lost under the bar (failures, warnings).
    void message(const std::string& text);

  private:
    void draw();
    std::string elapsed() const;

    style how_;
    std::string phase_;
    int total_ = 0;
    int done_ = 0;
    int last_tenth_ = -1;
    bool bar_shown_ = false;
    std::chrono::steady_clock::time_point run_start_;
    std::chrono::steady_clock::time_point phase_start_;
};
