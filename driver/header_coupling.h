// How units are tied to the project's headers: which headers' declarations a
// preprocessed text holds, and which project or generated headers a unit's
// preprocessing reads.
#pragma once

#include <set>
#include <string>

// The project headers (files inside `tree`, not the unit's own .c files) that
// at least one line of declarations in `preprocessed` comes from, by its line
// markers. Headers that only define macros, or whose every declaration was left
// out, do not count; generated headers count under the original headers whose
// markers they carry.
std::set<std::string> headers_declaring_in(const std::string& preprocessed,
                                           const std::string& tree);

// The headers a dependency file (cc -MD) names that are the project's own
// (inside `tree`) or generated ones (in an include.new directory); relative
// names are taken from `directory`.
std::set<std::string> headers_read(const std::string& dependency_file, const std::string& directory,
                                   const std::string& tree);
