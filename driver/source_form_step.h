// The source form in a run: a fresh copy of the project at DIR/source that takes
// the restructured declarations written from the original files, the patch
// DIR/hdrslim.patch that turns the project into it, and its figures.
#pragma once

#include "compile_unit.h"
#include "source_form.h"
#include "text_measure.h"

#include <string>
#include <vector>

struct source_form_step {
    std::string dir;   // DIR/source
    std::string patch; // DIR/hdrslim.patch
    // Where the project lies inside a git work tree ("src/lib/"); "" at the top
    // of one or outside any.
    std::string git_prefix;
    bool written = false;
    std::string error; // why it was not written
    source_form_result files;
};

// Writes DIR/source from the project, the analysed tree and the measured form.
// `units` with `restructured[i]` false keep their original source.
source_form_step write_source_step(const std::string& project, const std::string& tree,
                                   const std::string& root, const std::vector<compile_unit>& units,
                                   const std::vector<bool>& restructured,
                                   const std::vector<std::string>& new_headers);

// A unified diff from `project` to `dir` over the files the source form added or
// changed, with a/ and b/ prefixes, so that `git apply` and `patch -p1` take it.
std::string source_form_patch(const std::string& project, const std::string& dir,
                              const source_form_result& files);

// The part of a patch that adds a file holding `text` at `rel`, as
// `diff -u --label /dev/null --label b/REL` writes it, after git's header.
std::string added_file_diff(const std::string& text, const std::string& rel);

// Where `dir` lies inside a git work tree, as `git rev-parse --show-prefix` says
// ("src/lib/"); "" at its top, outside any work tree or without git. `scratch`
// is a file it may write.
std::string git_prefix_of(const std::string& dir, const std::string& scratch);

// The compile flags of a unit with every path into `tree` moved into `dir`.
std::vector<std::string> flags_in(const std::vector<std::string>& flags, const std::string& tree,
                                  const std::string& dir);
