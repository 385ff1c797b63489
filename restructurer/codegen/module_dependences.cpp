// For every header and program unit of the compressed graph, the module
// directories of the implementation files that depend on it. They decide where
// its header goes (one module: that module's include.new/, several: the shared
// one) and which include directories the makefile passes to the compiler.
#include "header/graph.h"

#include "partition/leaf_sets.h"

#include <map>

namespace {
// The module a leaf contributes: an implementation file's directory, or the
// start file of the first member of a header that holds definitions.
bool module_of_leaf(const node& m, std::string& module) {
    if (const Implement* file = as_implement(m)) {
        if (!file->is_define()) return false;
        module = file->module;
        return true;
    }
    if (const Header* header = as_header(m)) {
        if (header->members.empty() || !header->members.begin()->is_define()) return false;
        const ProgramUnit* first = as_unit(*header->members.begin());
        module = first ? first->start_file : std::string();
        return true;
    }
    return false;
}
} // namespace

void graph::construct_module_dependences() {
    graph& g = *compressed;
    module_dirs.clear();
    g.leaves.clear();
    for (const node& n : g.nodes)
        if (n.is_define()) g.leaves.insert(n);

    const leaf_sets reach(g.nodes, g.edges, g.leaves);
    std::map<int, std::set<std::string>> modules_by_key; // computed once per leaf set
    for (const node& n : g.nodes) {
        if (n.is_implement()) continue;
        const bool leaf = g.leaves.count(n) > 0;
        const int key = reach.key_of(n);
        auto known = modules_by_key.find(key);
        if (leaf || known == modules_by_key.end()) {
            scratch_modules.clear();
            const node_set reached = leaf ? node_set{n} : reach.leaves_of(key);
            std::string module;
            for (const node& m : reached)
                if (module_of_leaf(m, module)) {
                    scratch_modules.insert(module);
                    module_dirs.insert(module);
                }
            if (!leaf) known = modules_by_key.emplace(key, scratch_modules).first;
        }
        modules_of[n] = leaf ? scratch_modules : known->second;
    }
}
