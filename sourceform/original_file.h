// One original file of the project read for the source form: its lines, the
// chain of conditions (#if/#elif/#else) every line stands in, its macro
// definitions and its include lines. An include guard is not a condition.
#pragma once

#include <string>
#include <vector>

// One #if/#ifdef/#ifndef chain: the directive text that opens each branch
// ("#if A", "#elif B", "#else"), in order.
struct condition_chain {
    std::vector<std::string> branches;
};

// Where a line stands: the chains around it, outermost first, each with the
// branch it lies in (an index into that chain's branches).
struct condition_place {
    int chain = 0;
    int branch = 0;
    bool operator==(const condition_place& o) const {
        return chain == o.chain && branch == o.branch;
    }
};
using condition_stack = std::vector<condition_place>;

struct macro_definition {
    std::string name;
    int first = 0, last = 0;       // 1-based lines, continuation lines included
    bool undef = false;            // an #undef of the name
    std::vector<std::string> uses; // identifiers of its body
};

struct include_line {
    std::string spelled; // what stands between the quotes or brackets
    bool system = false; // <...>
    int line = 0;
};

class original_file {
  public:
    // Reads `path`; an unreadable file has no lines.
    explicit original_file(const std::string& path);
    original_file(const std::string& path, const std::string& text);

    const std::string& path() const { return path_; }
    int line_count() const { return static_cast<int>(lines_.size()); }
    // 1-based; "" outside the file.
    const std::string& line(int n) const;
    const condition_stack& conditions_at(int n) const;
    const condition_chain& chain(int id) const { return chains_[id]; }
    const std::vector<macro_definition>& macros() const { return macros_; }
    const std::vector<include_line>& includes() const { return includes_; }
    // The first line of the comment block that stands directly above line n
    // (n itself when there is none); stops at blank lines and directives.
    int comment_start(int n) const;
    // The last line of a declaration cut from `first` to `last`, moved on while
    // its parentheses, brackets or braces are open (a macro call spread over
    // lines stands on its first line in preprocessed text).
    int balanced_end(int first, int last) const;
    // True for the lines of a preprocessor directive, continuation lines included.
    bool is_directive(int n) const;
    // True for a line that holds something besides blanks, comments and directives.
    bool has_code(int n) const;
    // The macro of the include guard ("" when the file has none).
    const std::string& guard() const { return guard_; }

  private:
    void scan();
    std::string path_;
    std::vector<std::string> lines_;
    std::vector<int> place_of_line_; // index into stacks_
    std::vector<condition_stack> stacks_;
    std::vector<condition_chain> chains_;
    std::vector<macro_definition> macros_;
    std::vector<include_line> includes_;
    std::vector<bool> directive_;
    std::vector<bool> code_;
    std::string guard_;
};

// The identifiers of a text, comments and string literals left out, in order of
// first appearance, once each.
std::vector<std::string> identifiers_in(const std::string& text);
