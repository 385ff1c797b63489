// Comparing what the project's check printed before and after restructuring.
#pragma once

#include <string>

// The first difference between the two outputs, "" when they are the same. The
// check runs in the copy before and in the rebuilt copy after, so each
// directory's path is replaced by one placeholder before comparing ("pwd",
// make's "Entering directory" and test runners print them), and lines that differ
// only in durations ("0.03 sec", "12ms", "0m1.2s") are the same. The result names the
// line and quotes both sides:
//   line 3: before "ok 2 - sum" / after "not ok 2 - sum"
std::string first_output_difference(const std::string& before_text, const std::string& before_dir,
                                    const std::string& after_text, const std::string& after_dir);
