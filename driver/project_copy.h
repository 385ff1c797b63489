// Copying the user's project into the output directory, so that everything the
// pipeline and the project's own build write lands in the copy:
//  - a link whose target lies inside the project becomes a link to the same place
//    in the copy (relative, so it never leads back into the project);
//  - a link whose target lies outside the project is replaced by a copy of what it
//    points at, so that a build writing through it writes into the copy; a link
//    out that points at nothing is left out (a build writing through it would
//    create a file outside), and so is a link that cannot be followed;
//  - every file and directory of the copy is writable by its owner, whatever the
//    project's modes, and keeps its modification time (so that make does not
//    remake generated files from their sources);
//  - version-control metadata is left out, and so are sockets, pipes and devices.
#pragma once

#include <string>
#include <vector>

// Copies `from` into `to` (created). `notes` gets one line per link copied by its
// content or entry left out. Returns false with a one-line `error` when the copy
// cannot be made: a file cannot be read, or a link out points at a directory that
// holds the project or the link itself (its content would never end).
bool copy_project(const std::string& from, const std::string& to, std::string& error,
                  std::vector<std::string>* notes = nullptr);
