// Time spent in each phase of a run, shown when the switch "times" is on: one
// line per phase on standard error, in the order the phases first ran, with
// the processor and wall-clock seconds summed over every time it ran. Nothing
// is written to standard output or to the generated files.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

// Adds the time from its construction to its destruction to the phase `name`.
class phase_timer {
  public:
    explicit phase_timer(const char* name);
    ~phase_timer();
    phase_timer(const phase_timer&) = delete;
    phase_timer& operator=(const phase_timer&) = delete;

  private:
    const char* name_;
    std::clock_t cpu_start_;
    std::chrono::steady_clock::time_point wall_start_;
};

// Writes the table of phase times to standard error when "times" is on.
void print_phase_times();
