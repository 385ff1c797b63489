// The extractor's run: read, bookkeep, write the facts, clean up.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// args are the command-line arguments after the program name. Facts go to out,
// messages to err. Returns the exit status.
int run_extractor(const std::vector<std::string>& args, std::istream& std_in, std::ostream& out,
                  std::ostream& err);
