// The compilation scope and the scope-file nodes of one unit: one cScopeFile per
// file the preprocessor entered, named as its line markers name it, linked by
// cArcSon from the including file (the main file from the compilation scope).
// Two builders exist: one reads the line markers of a preprocessed unit, the
// other the inclusion list of a unit that libclang preprocessed itself.
#pragma once

#include <clang-c/Index.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class ta_graph;

class scope_tree {
  public:
    virtual ~scope_tree() = default;
    // The scope-file node that directly holds a file-scope declaration that
    // begins at location.
    virtual int scope_of(CXSourceLocation location) = 0;

  protected:
    explicit scope_tree(ta_graph& graph) : graph_(graph) {}
    // Creates the compilation node and the main file's scope node.
    void start(const std::string& main_name);
    int add_scope(const std::string& name, int parent);
    // The scope node of a section of scope that a #line directive renamed: a
    // child of scope (its text lies inside that file), made once per new name.
    int renamed(int scope, const std::string& name);
    const std::string& name_of(int scope) const { return names_.at(scope); }

    ta_graph& graph_;
    int main_ = -1;

  private:
    std::map<int, std::string> names_;
    std::map<std::pair<int, std::string>, int> renamed_;
};

// For a unit whose main file is preprocessed text with line markers.
std::unique_ptr<scope_tree> make_line_marker_scopes(ta_graph& graph, CXTranslationUnit unit,
                                                    const std::string& input);
// For a unit that libclang preprocessed from its sources with these flags.
std::unique_ptr<scope_tree> make_inclusion_scopes(ta_graph& graph, CXTranslationUnit unit,
                                                  const std::vector<std::string>& flags);
