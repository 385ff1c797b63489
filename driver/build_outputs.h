// Build outputs left in a project that was built before hdrslim saw it. Most
// users have built their project already; in a copy that still holds up-to-date
// objects the build compiles nothing, and no compile command is recorded. The copy
// is therefore cleaned of what a build writes: files holding machine code
// (objects, executables, shared libraries: ELF), static archives, libtool's .lo
// and .la files, and CMake build folders (directories holding CMakeCache.txt,
// which also name the directory they were made for and refuse any other). In a
// project kept under git, files git tracks are kept whatever they hold.
#pragma once

#include <string>
#include <vector>

// Removes the build outputs below `tree`, the copy of `project`. Returns the
// removed paths, relative to the tree, sorted.
std::vector<std::string> clean_build_outputs(const std::string& tree, const std::string& project);

// Whether the file starts like an ELF file or a static archive.
bool holds_machine_code(const std::string& path);
