// Scope files of a unit that libclang preprocessed itself, from its inclusion
// list. libclang reports the inclusions in the order the files were entered,
// each with its stack of #include sites, which rebuilds the inclusion tree. A
// header entered twice gets two scope nodes, as in the line markers; its
// declarations all hang under the first, which names and counts them the same.
//
// Names follow GCC's line markers (see include_names.h).
#include "clang_text.h"
#include "include_names.h"
#include "positions.h"
#include "scope_tree.h"

#include <unordered_map>

namespace {

class inclusion_scopes : public scope_tree {
  public:
    inclusion_scopes(ta_graph& graph, CXTranslationUnit unit, const std::vector<std::string>& flags)
        : scope_tree(graph), unit_(unit), names_(flags) {
        clang_getInclusions(unit, &inclusion_scopes::visit, this);
        if (main_ < 0) start(take_text(clang_getTranslationUnitSpelling(unit)));
    }

    int scope_of(CXSourceLocation location) override {
        CXFile file = nullptr;
        clang_getExpansionLocation(location, &file, nullptr, nullptr, nullptr);
        int scope = main_;
        if (file != nullptr) {
            auto found = first_instance_.find(file);
            if (found != first_instance_.end()) scope = found->second;
        }
        // A presumed name other than the file's own comes from #line.
        std::string name = presumed_file(location);
        auto own = clang_names_.find(file);
        if (name.empty() || (own != clang_names_.end() && own->second == name)) return scope;
        return renamed(scope, name);
    }

  private:
    struct open_scope {
        CXFile file;
        int scope;
    };

    static void visit(CXFile file, CXSourceLocation* stack, unsigned depth, CXClientData data) {
        static_cast<inclusion_scopes*>(data)->enter(file, stack, depth);
    }

    void enter(CXFile file, CXSourceLocation* stack, unsigned depth) {
        std::string name = take_text(clang_getFileName(file));
        clang_names_.emplace(file, name);
        if (depth == 0 || main_ < 0) {
            if (main_ < 0) {
                start(name);
                first_instance_.emplace(file, main_);
                path_.assign(1, open_scope{file, main_});
            }
            return;
        }
        if (path_.size() > depth) path_.resize(depth);
        int parent = includer(stack[0]);
        std::string spelled;
        bool quoted = false;
        if (read_include_spelling(unit_, stack[0], spelled, quoted))
            name = names_.name(name_of(parent), spelled, quoted, file, name);
        int scope = add_scope(name, parent);
        first_instance_.emplace(file, scope);
        path_.push_back(open_scope{file, scope});
    }

    // The scope of the file that holds the #include site: normally the top of
    // the current path; a site in no known file (a forced include) is the main
    // file's.
    int includer(CXSourceLocation site) {
        CXFile file = nullptr;
        clang_getExpansionLocation(site, &file, nullptr, nullptr, nullptr);
        if (file == nullptr) return main_;
        if (clang_File_isEqual(file, path_.back().file)) return path_.back().scope;
        auto found = first_instance_.find(file);
        return found != first_instance_.end() ? found->second : main_;
    }

    CXTranslationUnit unit_;
    include_names names_;
    std::unordered_map<CXFile, std::string> clang_names_;
    std::unordered_map<CXFile, int> first_instance_;
    std::vector<open_scope> path_;
};

} // namespace

std::unique_ptr<scope_tree> make_inclusion_scopes(ta_graph& graph, CXTranslationUnit unit,
                                                  const std::vector<std::string>& flags) {
    return std::make_unique<inclusion_scopes>(graph, unit, flags);
}
