// Writes a dump (or any text) to a file of its own, whole or not at all: the text goes to a
// temporary file that is renamed over the target once complete.
#pragma once

#include <ostream>
#include <string>

class ta_graph;

// False (with a message on errors) when the file cannot be written.
bool write_dump_file(const ta_graph& graph, const std::string& path, std::ostream& errors);

// The same for any text: a unit's messages in a "--unit" run.
bool write_text_file(const std::string& text, const std::string& path, std::ostream& errors);
