// Keeps the output marker true when the run is stopped by a signal (Ctrl-C, a
// terminal closing, kill): the marker then says "interrupted during <phase>"
// instead of "running".
#pragma once

#include <string>

// Installs the handlers for SIGINT, SIGTERM and SIGHUP, writing `marker_path`
// with the text `header` followed by the state line when one arrives.
void watch_interrupts(const std::string& marker_path, const std::string& header);

// The phase the state line names from now on.
void set_interrupt_phase(const std::string& phase);
