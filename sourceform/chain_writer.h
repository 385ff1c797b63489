// Writes blocks of original text, each inside the chain of conditions it stood in
// in its original file. Consecutive blocks of one chain share its directives; a
// block in a later branch of an open chain continues that chain (#elif, #else).
#pragma once

#include "original_file.h"

#include <string>

class chain_writer {
  public:
    // Appends `text` (whole lines, ending in a newline) that stood at `where` in
    // `file`; `apart` sets it off by a blank line, before the directives it opens.
    void write(const original_file& file, const condition_stack& where, const std::string& text,
               bool apart = false);
    // Appends text that stands outside every condition.
    void write_plain(const std::string& text);
    // Closes the open chains and returns everything written.
    std::string finish();

  private:
    struct open_chain {
        const original_file* file;
        condition_place place;
    };
    void close_to(size_t depth);
    std::vector<open_chain> open_;
    std::string out_;
};
