// The restructured tree names its new headers relative to the include.new
// directories ("#include \"17.h\""), which only the generated makefile's -I options
// find. Pinning rewrites each such line to the header's absolute path, so that the
// project's own build compiles the rewritten sources with its own flags.
#pragma once

#include <string>
#include <vector>

// `text` with every quoted include that names a file in one of `dirs` (searched in
// order) replaced by that file's absolute path; other lines stay as they are.
std::string pin_includes(const std::string& text, const std::vector<std::string>& dirs);

// Pins the includes of a file in place; false when it cannot be read or written.
bool pin_file_includes(const std::string& path, const std::vector<std::string>& dirs);
