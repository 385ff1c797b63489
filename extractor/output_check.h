// A write that fails (full file system, closed pipe, /dev/full) must not pass
// for a complete fact file.
#pragma once

// Flushes standard output; when a write to it failed, prints
// "PROGRAM: cannot write standard output (NAME): REASON" on standard error,
// NAME being the file standard output is open on, and returns false.
bool standard_output_written(const char* program);
