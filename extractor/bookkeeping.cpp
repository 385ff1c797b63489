#include "bookkeeping.h"

#include <utility>
#include <vector>

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

namespace {

// Outermost scope file name above (and including) each scope file, filled as
// walks meet scope files, so that the context of a chain of nested scope files
// is found in one walk whatever its depth.
std::vector<std::string_view> scope_context;
std::vector<bool> scope_context_known;

} // namespace

void forget_scope_contexts() {
    scope_context.clear();
    scope_context.shrink_to_fit();
    scope_context_known.clear();
    scope_context_known.shrink_to_fit();
}

std::string_view context_filename(nid id) {
    if (scope_context_known.size() != the_nodes.size()) {
        scope_context.assign(the_nodes.size(), {});
        scope_context_known.assign(the_nodes.size(), false);
    }
    std::vector<nid> unknown; // scope files met on the walk, innermost first
    std::string_view found;
    bool known = false;
    nid cur = id;
    for (std::size_t steps = 0; cur != no_node && steps < walk_limit(); ++steps) {
        if (kind_of(cur) == "cScopeFile") {
            if (scope_context_known[cur]) {
                found = scope_context[cur];
                known = true;
                break;
            }
            unknown.push_back(cur);
        }
        nid up = prev_nodes_arcSon.of(cur).first();
        if (up == no_node || kind_of(up) == "cScopeCompil") break;
        cur = up;
    }
    if (!known && !unknown.empty()) found = name_of(unknown.back());
    for (nid f : unknown) {
        scope_context[f] = found;
        scope_context_known[f] = true;
    }
    return found;
}

void bookkeeping_scopes() {
    // Every declaration a scope file holds directly gets counter 1: one
    // declaration at one place keeps one name however often its file was entered.
    for (const edge_info& e : the_edges) {
        nid s = e.source;
        if (kind_of(s) != "cScopeFile") continue;
        node_info& t = the_nodes[e.target];
        t.file_scope = s;
        t.counter = 1;
    }
}
