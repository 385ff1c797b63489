// One reading pass over a preprocessed source (the output of the C
// preprocessor, line markers kept): the text of every program unit of the
// graph is cut out at the lines its facts give, units read in one statement
// are merged, and the block texts are stored in `unit_texts`.
#pragma once

#include "contract/split_lines.h"
#include "header/graph.h"

#include <istream>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
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
    void add_text(const std::string& line);
    void close_block();
    bool split_typedef_block();
    void add_positionless_neighbours();
    // Folds `merged` into `head`: positions, static name, edges.
    void merge_units(const node& head, const node& merged);
    void forward_declarations(const node& head);
    bool belongs_here(const node& u) const;
    // The units of the current file that line L concerns, in number order:
    // those beginning on L and those started but not ended (see source_line).
    std::vector<node> concerned(int L) const;
    // Keeps `started_` in step with u's positions.
    void track(const node& u);
    // The edges with an end at n, in edge order.
    std::vector<edge> edges_at(const node& n) const;

    graph& g_;
    const std::string path_;                              // the preprocessed source, resolved
    std::map<file_key, std::vector<node>> units_by_file_; // units with a begin line
    std::vector<node> positionless_;                      // units without lines
    // Units of one file (see enter_file): by begin line, in ascending number,
    // and the set of their numbers.
    struct file_units {
        std::map<int, std::vector<node>> by_begin;
        std::unordered_set<int> ids;
    };
    std::map<file_key, file_units> files_;
    const file_units* candidates_ = nullptr; // those of the current file
    node_set started_;                       // units with a begin line read and no end line yet
    // Per node number, the numbers of the nodes with an edge towards it.
    std::map<int, std::set<int>> sources_of_;
    file_key current_;
    int line_ = 0;
    split_lines split_lines_; // the lines cc -E split around a system macro
    bool piece_ = false;      // the line read is a piece of the line before it
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
