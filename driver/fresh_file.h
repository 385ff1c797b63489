// Creating the files hdrslim writes. The copy of the project may hold links
// named like any of them (a link "main.cpp.c" or "build.log" pointing elsewhere),
// so a file is never opened through what is already there: the old entry is
// removed and a new file is made in its place.
#pragma once

#include <functional>
#include <string>

// Removes whatever entry `path` names (a link itself, not what it points at) and
// creates a new, empty file there with mode 0664, open for writing. Returns the
// descriptor, or -1 with errno set.
int open_fresh(const std::string& path);

// Writes `text` into a fresh file at `path`. False when it cannot be written whole.
bool write_fresh(const std::string& path, const std::string& text);

// Makes sure `path` names a fresh file's place: removes a link, file or other
// non-directory entry there. True when nothing is left in the way.
bool remove_entry(const std::string& path);

// Reads the file at `path` and writes `change` of its text in its place, as a
// fresh file. False when it cannot be read or written whole.
bool rewrite_fresh(const std::string& path,
                   const std::function<std::string(const std::string&)>& change);
