// Pragmas that set a state for the text after them: diagnostics (`#pragma GCC
// diagnostic ignored "-Wcast-qual"` between push and pop), structure packing,
// symbol visibility and optimisation options. The preprocessor keeps them as
// lines of their own between declarations; the restructurer moves declarations
// into other files and another order, so each unit is written inside the state
// that was in effect where it stood: the pragmas that make that state from the
// default one before it, and those that undo them after it.
#pragma once

#include <string>
#include <vector>

struct pragma_wrap {
    std::string open;  // lines that set the state, each ending in a newline
    std::string close; // lines that restore the state before `open`
    bool empty() const { return open.empty(); }
    bool operator==(const pragma_wrap& other) const {
        return open == other.open && close == other.close;
    }
};

class pragma_state {
  public:
    // Follows one directive line the preprocessor kept (`#pragma ...`); any
    // other pragma or directive leaves the state as it is.
    void read(const std::string& line);
    // The pragmas around a unit that stands where the state is as now.
    pragma_wrap wrap() const;

  private:
    // Pragma lines in effect, with the lists a push saved.
    struct stacked_lines {
        std::vector<std::string> current;
        std::vector<std::vector<std::string>> saved;
        void push() { saved.push_back(current); }
        void pop() {
            if (saved.empty()) return;
            current = saved.back();
            saved.pop_back();
        }
    };
    stacked_lines diagnostics_, options_;
    std::string pack_; // the packing in effect ("1", "2", ...), empty for the default
    std::vector<std::string> packs_;
    std::vector<std::string> visibility_; // pushed visibilities, innermost last
};
