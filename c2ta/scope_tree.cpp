#include "scope_tree.h"

#include "ta_graph.h"

void scope_tree::start(const std::string& main_name) {
    int compilation = graph_.add_node("cScopeCompil");
    graph_.set(compilation, "name", main_name);
    main_ = add_scope(main_name, compilation);
}

int scope_tree::add_scope(const std::string& name, int parent) {
    int scope = graph_.add_node("cScopeFile");
    graph_.set(scope, "name", name);
    graph_.add_edge("cArcSon", parent, scope);
    names_[scope] = name;
    return scope;
}

int scope_tree::renamed(int scope, const std::string& name) {
    if (name == names_.at(scope)) return scope;
    auto key = std::make_pair(scope, name);
    auto found = renamed_.find(key);
    if (found != renamed_.end()) return found->second;
    int section = add_scope(name, scope);
    renamed_.emplace(key, section);
    return section;
}
