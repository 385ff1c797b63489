#include "indexes.h"

#include "queries.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

using name_index = std::unordered_map<std::string_view, std::vector<nid>>;

struct indexes {
    name_index functions, objects, alias_types, name_refs, init_list_objects;
    std::unordered_map<std::string_view, nid> first_aggr, first_ptr;
    std::unordered_set<std::string_view> static_prototypes;
};

std::unique_ptr<indexes> built;

void index_set(name_index& index, const id_set& set) {
    for (nid n : set)
        index[name_of(n)].push_back(n);
}

void index_first(std::unordered_map<std::string_view, nid>& index, const id_set& set) {
    for (nid n : set)
        index.try_emplace(name_of(n), n);
}

indexes& get() {
    if (built) return *built;
    built = std::make_unique<indexes>();
    indexes& x = *built;
    index_set(x.functions, cFunctions);
    index_set(x.objects, cObjects);
    index_set(x.alias_types, cAliasTypes);
    index_set(x.name_refs, cNameRefs);
    index_first(x.first_aggr, cAggrTypes);
    index_first(x.first_ptr, cPtrTypes);
    for (nid i : cInitLists)
        for (nid o : prev_nodes_arc.of(i))
            if (kind_of(o) == "cObject") x.init_list_objects[name_of(o)].push_back(o);
    for (nid f : cFunctions)
        if (node(f).attrs.static_ == "True" && !has_body(f)) x.static_prototypes.insert(name_of(f));
    return x;
}

const std::vector<nid>& lookup(const name_index& index, std::string_view name) {
    static const std::vector<nid> none;
    auto it = index.find(name);
    return it == index.end() ? none : it->second;
}

nid lookup_first(const std::unordered_map<std::string_view, nid>& index, std::string_view name) {
    auto it = index.find(name);
    return it == index.end() ? no_node : it->second;
}

} // namespace

const std::vector<nid>& functions_named(std::string_view n) {
    return lookup(get().functions, n);
}
const std::vector<nid>& objects_named(std::string_view n) {
    return lookup(get().objects, n);
}
const std::vector<nid>& alias_types_named(std::string_view n) {
    return lookup(get().alias_types, n);
}
const std::vector<nid>& name_refs_named(std::string_view n) {
    return lookup(get().name_refs, n);
}
const std::vector<nid>& init_list_objects_named(std::string_view n) {
    return lookup(get().init_list_objects, n);
}
nid first_aggr_named(std::string_view n) {
    return lookup_first(get().first_aggr, n);
}
nid first_ptr_named(std::string_view n) {
    return lookup_first(get().first_ptr, n);
}
bool has_static_prototype(std::string_view n) {
    return get().static_prototypes.count(n) != 0;
}

void clear_indexes() {
    built.reset();
}
