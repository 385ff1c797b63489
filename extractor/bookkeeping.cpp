#include "bookkeeping.h"

#include <map>
#include <unordered_map>
#include <utility>

namespace {

struct edge_class {
    bool son = false, instance = false, opd = false, init_val = false, arc = false;
};

edge_class classify(std::string_view kind) {
    edge_class c;
    if (kind == "cArcSon")
        c.son = true;
    else if (kind == "cInstance")
        c.instance = true;
    else if (kind == "cArcOpd")
        c.opd = true;
    else if (kind == "cArcInitVal")
        c.init_val = true;
    c.arc = kind.substr(0, 4) == "cArc";
    return c;
}

} // namespace

std::size_t walk_limit() {
    return the_nodes.size() + 1;
}

void bookkeeping_nodes() {
    static const std::pair<const char*, id_set*> sets[] = {
        {"cFunction", &cFunctions},   {"cNameRef", &cNameRefs},   {"cObject", &cObjects},
        {"cAliasType", &cAliasTypes}, {"cPtrType", &cPtrTypes},   {"cAggrType", &cAggrTypes},
        {"cScopeFile", &cScopeFiles}, {"cEnumType", &cEnumTypes}, {"cFctType", &cFctTypes},
        {"cInitList", &cInitLists}};
    for (nid n = 0; n < the_nodes.size(); ++n) {
        std::string_view k = the_nodes[n].kind;
        for (const auto& [name, set] : sets)
            if (k == name) {
                set->add_ascending(n);
                break;
            }
    }
}

void bookkeeping_edges() {
    std::vector<edge_class> classes;
    for (std::size_t k = 0; k < edge_kinds.size(); ++k)
        classes.push_back(classify(edge_kinds.name(static_cast<std::uint32_t>(k))));

    std::vector<std::pair<nid, nid>> fwd, back, son, son_back, inst, opd, init, arc_back;
    fwd.reserve(the_edges.size());
    back.reserve(the_edges.size());
    for (const edge_info& e : the_edges) {
        const edge_class& c = classes[e.kind];
        fwd.emplace_back(e.source, e.target);
        back.emplace_back(e.target, e.source);
        if (c.son) {
            son.emplace_back(e.source, e.target);
            son_back.emplace_back(e.target, e.source);
        } else if (c.instance) {
            inst.emplace_back(e.source, e.target);
        } else if (c.opd) {
            opd.emplace_back(e.source, e.target);
        } else if (c.init_val) {
            init.emplace_back(e.source, e.target);
        }
        if (c.arc) arc_back.emplace_back(e.target, e.source);
    }
    std::size_t n = the_nodes.size();
    next_nodes.build(n, fwd);
    prev_nodes.build(n, back);
    next_nodes_arcSon.build(n, son);
    prev_nodes_arcSon.build(n, son_back);
    next_nodes_instance.build(n, inst);
    next_nodes_arcOpd.build(n, opd);
    next_nodes_arcInitVal.build(n, init);
    prev_nodes_arc.build(n, arc_back);
}

std::string_view context_filename(nid id) {
    std::string_view found;
    nid cur = id;
    for (std::size_t steps = 0; steps < walk_limit(); ++steps) {
        if (kind_of(cur) == "cScopeFile") found = name_of(cur);
        nid up = prev_nodes_arcSon.of(cur).first();
        if (up == no_node || kind_of(up) == "cScopeCompil") break;
        cur = up;
    }
    return found;
}

void bookkeeping_scopes() {
    // The counter of a child of S is the number of scope files with S's name in
    // the same compilation; count them once per (name, compilation) pair.
    std::unordered_map<nid, std::string_view> context;
    std::map<std::pair<std::string_view, std::string_view>, int> same_file;
    for (nid f : cScopeFiles) {
        context[f] = context_filename(f);
        ++same_file[{name_of(f), context[f]}];
    }
    for (const edge_info& e : the_edges) {
        nid s = e.source;
        if (kind_of(s) != "cScopeFile") continue;
        node_info& t = the_nodes[e.target];
        t.file_scope = s;
        std::string_view c = context[s];
        t.counter = c == name_of(s) ? 1 : same_file[{name_of(s), c}];
    }
}
