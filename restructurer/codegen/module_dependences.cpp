// For every header and program unit of the compressed graph, the module
// directories of the implementation files that depend on it. They decide where
// its header goes (one module: that module's include.new/, several: the shared
// one) and which include directories the makefile passes to the compiler.
#include "header/graph.h"

#include "partition/leaf_sets.h"

#include <map>
#include <vector>

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
    // The module of every leaf, as a number into `names` (-1: none), found
    // once: a header that every source uses reaches every leaf.
    std::vector<std::string> names;
    std::map<std::string, int> number_of;
    std::vector<int> module_at;
    for (const node& m : reach.leaves()) {
        std::string module;
        if (!module_of_leaf(m, module)) {
            module_at.push_back(-1);
            continue;
        }
        auto known = number_of.emplace(module, static_cast<int>(names.size()));
        if (known.second) names.push_back(module);
        module_at.push_back(known.first->second);
    }
    std::vector<char> seen(names.size(), 0);
    std::map<int, std::set<std::string>> modules_by_key; // computed once per leaf set
    for (const node& n : g.nodes) {
        if (n.is_implement()) continue;
        const bool leaf = g.leaves.count(n) > 0;
        const int key = reach.key_of(n);
        auto known = modules_by_key.find(key);
        if (leaf || known == modules_by_key.end()) {
            scratch_modules.clear();
            std::string module;
            if (leaf) {
                if (module_of_leaf(n, module)) scratch_modules.insert(module);
            } else {
                std::vector<int> found;
                reach.for_each_bit(key, [&](std::size_t bit) {
                    const int at = module_at[bit];
                    if (at >= 0 && !seen[at]) {
                        seen[at] = 1;
                        found.push_back(at);
                    }
                });
                for (int at : found) {
                    scratch_modules.insert(names[at]);
                    seen[at] = 0;
                }
            }
            module_dirs.insert(scratch_modules.begin(), scratch_modules.end());
            if (!leaf) known = modules_by_key.emplace(key, scratch_modules).first;
        }
        modules_of[n] = leaf ? scratch_modules : known->second;
    }
}
