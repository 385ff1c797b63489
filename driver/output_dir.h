// The output directory of a run: a marker file that says whose it is and whether
// the run finished, the copy of the user's project ("tree"), and the work files
// of the pipeline ("work"). The user's project itself is only ever read.
#pragma once

#include <string>
#include <vector>

struct output_dir {
    std::string root;    // absolute
    std::string tree;    // root/tree: the copy that is built, analysed and restructured
    std::string after;   // root/after: a second copy whose sources are the rewritten ones
    std::string work;    // root/work: logs, makefiles, compile database
    std::string project; // absolute, canonical path of the user's project
    // What the copy did with links and special files, one line each.
    std::vector<std::string> copy_notes;

    // Records the state of the run in the marker file ("running", "complete",
    // or "failed during ..." / "interrupted during ..." saying where it stopped).
    void mark(const std::string& state) const;
};

// Checks the two paths, empties an earlier output of hdrslim at `out` (and refuses
// anything else that is in the way), and copies the project into the tree.
// Returns false with a one-line `error` when it cannot.
bool prepare_output_dir(const std::string& project, const std::string& out, output_dir& dir,
                        std::string& error);

extern const char* const output_marker_name;
