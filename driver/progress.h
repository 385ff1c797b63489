// Progress of a run on standard error: a live bar on a terminal (phase, items done
// of total, elapsed time), plain lines otherwise, nothing when quiet. A phase
// without a count (the project's build, the check) shows its elapsed time and the
// last line its log has received, refreshed while it runs.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class progress {
  public:
    enum class style { bar, lines, quiet };

    explicit progress(style how);
    // The style for standard error: a bar on a terminal, lines otherwise.
    static style for_stderr(bool quiet);

    ~progress();
    // `log`: for a phase without a count, the file whose last line is shown.
    void start_phase(const std::string& name, int total, const std::string& log = "");
    void advance(int done_now = 1);
    void finish_phase();
    // A message that must not be lost under the bar (failures, warnings).
    void message(const std::string& text);

    // The last non-empty line of a file, at most `width` characters ("" if none).
    static std::string last_line(const std::string& path, size_t width);

  private:
    void draw();
    void stop_ticker();
    std::string elapsed() const;

    style how_;
    std::string phase_;
    int total_ = 0;
    int done_ = 0;
    int last_tenth_ = -1;
    bool bar_shown_ = false;
    std::string log_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool ticking_ = false;
    std::thread ticker_;
    std::chrono::steady_clock::time_point run_start_;
    std::chrono::steady_clock::time_point phase_start_;
};
