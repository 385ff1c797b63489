// The restructurer's command line and the fixed order of its phases.
#pragma once

#include <string>
#include <vector>

class graph;

// Applies every argument after the program name to `g` and the process-wide
// option sets, and returns the fact-file names in command-line order.
//   -I<dir>  include directory      -M<dir>  user module directory
//   -c       reduce each unit only  -g       regenerate fact files
//   -x       read file and inclusion facts
// Anything else that begins with "-" is ignored; every other argument names a
// fact file.
std::vector<std::string> scan_arguments(int argc, const char* const* argv, graph& g);

// The whole run: options, loading, then (unless "-c") leaves, partitioning,
// compression and code generation. Always returns 0.
int run_restructurer(int argc, const char* const* argv);
