// A source that the build compiles in several configurations (a library and a
// program that each compile it with their own -D flags) may preprocess to other
// text in each. Its rewritten source is made from the first configuration only,
// so it must hold the original text for the others: the two are put under a
// condition on the macros the command lines define.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The macros a command line defines (-D, -U, in order; "-DX" defines X as 1),
// by name; a macro left undefined by a later -U is absent.
std::map<std::string, std::string> command_line_macros(const std::vector<std::string>& flags);

// A preprocessor condition that holds under the macros `first` defines and fails
// under each of `others` ("!defined(ZSTD_MULTITHREAD)", "(defined(LEVEL) && LEVEL
// == 2)"), each configuration told apart by the first macro in name order that
// tells it apart: defined in one and not the other, or both integers of other
// values. Nothing when a configuration of `others` cannot be told apart (it
// differs only in include paths, say, or in a string macro).
std::optional<std::string> configuration_guard(
    const std::map<std::string, std::string>& first,
    const std::vector<std::map<std::string, std::string>>& others);

// The rewritten text under `guard`, the original source's text otherwise; the
// original part starts with `#line 1` so that its line numbers and its file
// name (that of the compile command) are those of the source.
std::string guarded_source(const std::string& guard, const std::string& rewritten,
                           const std::string& original);
