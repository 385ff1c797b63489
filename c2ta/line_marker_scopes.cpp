// Scope files of a preprocessed unit, read from its line markers. Every marker
// with flag 1 enters a new file instance, flag 2 returns to the includer, and a
// marker without either renames the current section (#line). The pseudo files
// "<built-in>" and "<command-line>" get no scope: what they include (forced
// includes) hangs under the main file, where its text lands.
#include "line_markers.h"
#include "scope_tree.h"

#include <algorithm>

namespace {

bool is_pseudo_file(const std::string& name) {
    return !name.empty() && name[0] == '<';
}

class line_marker_scopes : public scope_tree {
  public:
    line_marker_scopes(ta_graph& graph, CXTranslationUnit unit, const std::string& input)
        : scope_tree(graph) {
        main_file_ = clang_getFile(unit, input.c_str());
        std::size_t size = 0;
        const char* text =
            main_file_ != nullptr ? clang_getFileContents(unit, main_file_, &size) : nullptr;
        std::vector<line_marker> markers;
        if (text != nullptr) markers = read_line_markers(text, size);
        start(markers.empty() ? input : markers.front().file);
        stack_.push_back(entry_record{name_of(main_), main_, main_});
        sections_.emplace_back(0, main_);
        for (std::size_t i = 1; i < markers.size(); ++i)
            apply(markers[i]);
    }

    int scope_of(CXSourceLocation location) override {
        CXFile file = nullptr;
        unsigned offset = 0;
        clang_getExpansionLocation(location, &file, nullptr, nullptr, &offset);
        if (file == nullptr || !clang_File_isEqual(file, main_file_)) return main_;
        auto after = std::upper_bound(sections_.begin(), sections_.end(),
                                      std::make_pair(std::size_t{offset}, 1 << 30));
        return after == sections_.begin() ? main_ : std::prev(after)->second;
    }

  private:
    // One open file instance: the node made when it was entered (-1 for a
    // pseudo file) and the node of its current, possibly renamed, section.
    struct entry_record {
        std::string name;
        int original;
        int current;
    };

    int effective(const entry_record& entry) const {
        return entry.current >= 0 ? entry.current : main_;
    }

    void apply(const line_marker& marker) {
        if (marker.enters) {
            int parent = effective(stack_.back());
            int node = is_pseudo_file(marker.file) ? -1 : add_scope(marker.file, parent);
            stack_.push_back(entry_record{marker.file, node, node});
        } else {
            if (marker.returns && stack_.size() > 1) stack_.pop_back();
            rename(stack_.back(), marker.file);
        }
        sections_.emplace_back(marker.next_line_offset, effective(stack_.back()));
    }

    void rename(entry_record& entry, const std::string& name) {
        if (name == entry.name) return;
        entry.name = name;
        if (is_pseudo_file(name))
            entry.current = -1;
        else if (entry.original < 0)
            entry.current = add_scope(name, main_);
        else
            entry.current = renamed(entry.original, name);
    }

    CXFile main_file_ = nullptr;
    std::vector<entry_record> stack_;
    // (offset where a section starts, scope node of the section), ascending.
    std::vector<std::pair<std::size_t, int>> sections_;
};

} // namespace

std::unique_ptr<scope_tree> make_line_marker_scopes(ta_graph& graph, CXTranslationUnit unit,
                                                    const std::string& input) {
    return std::make_unique<line_marker_scopes>(graph, unit, input);
}
