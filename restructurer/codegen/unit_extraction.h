// One reading pass over a preprocessed source (the output of the C
// preprocessor, line markers kept): the text of every program unit of the
// graph is cut out at the lines its facts give, units read in one statement
// are merged, and the block texts are stored in `unit_texts`.
#pragma once

#include "header/graph.h"

#include <istream>
#include <map>
#include <string>
#include <utility>
#include <vector>

class unit_extraction {
  public:
    unit_extraction(graph& g, const std::string& path);
    void read(std::istream& in);

    // Block heads, in the order their blocks closed: the units of a reduced copy.
    const std::vector<node>& collected() const { return collected_; }
    // Definitions and static units read, in block order: the members of the
    // unit's implementation file.
    const std::vector<node>& members() const { return members_; }

  private:
    using file_key = std::pair<std::string, std::string>; // stem, extension

    static file_key split(const std::string& file);
    void enter_file(const std::string& file);
    void marker_line(const std::string& line);
    void source_line(const std::string& line);
    void close_block();
    void add_positionless_neighbours();
    // Folds `merged` into `head`: positions, static name, edges.
    void merge_units(const node& head, const node& merged);
    void forward_declarations(const node& head);
    bool belongs_here(const node& u) const;

    graph& g_;
    std::map<file_key, std::vector<node>> units_by_file_; // units with a begin line
    std::vector<node> positionless_;                      // units without lines
    std::vector<node> candidates_; // units of the current file, ascending number
    file_key current_;
    int line_ = 0;
    long physical_ = 0;

    node head_;
    bool open_ = false;
    std::string text_;
    node_set closed_;
    bool closed_now_ = false;
    std::string pending_;

    std::vector<node> collected_;
    std::vector<node> members_;
};
