#include "queries.h"

#include "bookkeeping.h"
#include "indexes.h"
#include "names.h"

#include <unordered_map>

namespace {

bool is_kind(nid n, std::string_view k) {
    return kind_of(n) == k;
}

struct position {
    long long line = 0, column = 0;
};

// Decimal conversion as atoi does it: optional blanks and sign, then digits;
// anything else ends the number, and no number reads as 0.
long long decimal(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        if (v < 100000000000000000LL) v = v * 10 + (s[i] - '0');
    return negative ? -v : v;
}

// "line.column"; a missing part reads as 0, as does text that is no number.
position parse_position(std::string_view s) {
    position p;
    std::size_t dot = s.find('.');
    p.line = decimal(s.substr(0, dot));
    if (dot != std::string_view::npos) p.column = decimal(s.substr(dot + 1));
    return p;
}

bool later(const position& a, const position& b) {
    return a.line != b.line ? a.line > b.line : a.column > b.column;
}

// Walks up the first "cArc" parent from id (id included) to the first node that
// satisfies `stop`.
template <class Pred> nid walk_up_to(nid id, Pred stop) {
    nid cur = id;
    for (std::size_t steps = 0; cur != no_node && steps < walk_limit(); ++steps) {
        if (stop(cur)) return cur;
        cur = prev_nodes_arc.of(cur).first();
    }
    return no_node;
}

// is_global depends only on the frozen graph: remember it per node
// (0 unknown, 1 false, 2 true).
std::vector<signed char> global_memo;

} // namespace

bool has_body(nid id) {
    for (nid s : next_nodes.of(id))
        if (is_kind(s, "cBlock")) return true;
    return false;
}

bool is_extern(nid id) {
    return node(id).attrs.extern_ == "True";
}

bool is_static(std::string_view kind, nid id) {
    if (kind == "func" && has_body(id) && has_static_prototype(name_of(id))) return true;
    return node(id).attrs.static_ == "True";
}

bool is_global(nid id) {
    if (id == no_node) return false;
    if (global_memo.size() != the_nodes.size()) global_memo.assign(the_nodes.size(), 0);
    if (global_memo[id] != 0) return global_memo[id] == 2;
    // id is global when the chain of scope files above it ends at the
    // compilation. A scope file is global by the same rule, so the walk stops
    // at the first one already known and remembers the answer for every node
    // it passed: chains of nested scope files cost one walk in all.
    std::vector<nid> passed = {id};
    bool result = false;
    nid cur = prev_nodes_arc.of(id).first();
    for (std::size_t steps = 0; cur != no_node && steps < walk_limit(); ++steps) {
        if (!is_kind(cur, "cScopeFile")) {
            result = is_kind(cur, "cScopeCompil");
            break;
        }
        if (global_memo[cur] != 0) {
            result = global_memo[cur] == 2;
            break;
        }
        passed.push_back(cur);
        cur = prev_nodes_arc.of(cur).first();
    }
    for (nid n : passed)
        global_memo[n] = result ? 2 : 1;
    return result;
}

void forget_query_memos() {
    global_memo.clear();
    global_memo.shrink_to_fit();
}

std::string_view get_type(nid id) {
    return kind_of(id);
}

std::string son_end(nid id, std::string_view end) {
    position best = parse_position(end);
    for (nid c : next_nodes_arcSon.of(id)) {
        position p = parse_position(node(c).attrs.end);
        if (later(p, best)) best = p;
    }
    return std::to_string(best.line) + "." + std::to_string(best.column);
}

std::string_view aggr_beg(nid id, std::string_view beg) {
    for (nid s : next_nodes.of(id))
        if (is_kind(s, "cAggrType")) return node(s).attrs.beg;
    return beg;
}

nid points_to_node(nid id) {
    return next_nodes.of(id).first();
}

bool is_minus_one(nid id) {
    return id == no_node || node(id).id == "-1";
}

type_ref trace_type(nid id) {
    type_ref r;
    if (kind_of(id).find("Type") == std::string_view::npos) return r;
    nid t = id;
    for (std::size_t steps = 0; is_kind(t, "cPtrType") && steps < walk_limit(); ++steps)
        t = points_to_node(t);
    std::string_view k = kind_of(t);
    if (k == "cAliasType")
        r.kind_word = "type";
    else if (k == "cAggrType")
        r.kind_word = node(t).attrs.type;
    else if (k == "cForwardType") {
        nid aggr = first_aggr_named(name_of(t));
        r.kind_word = aggr == no_node ? "struct" : node(aggr).attrs.type;
    } else if (k == "cFctType")
        r.kind_word = "fct";
    else if (k == "cEnumType")
        r.kind_word = "enum";
    else
        return r;
    r.target = t;
    r.global = is_global(t);
    r.name = get_name(r.kind_word, t);
    return r;
}

std::string trace_type_name(nid id) {
    return trace_type(id).name;
}

std::string find_object_type(nid id) {
    return trace_type_name(next_nodes_instance.of(id).first());
}
std::string get_object_type(nid id) {
    return find_object_type(id);
}

std::set<std::string> find_all_children_used_types(nid id) {
    std::set<std::string> used;
    std::vector<nid> todo{id};
    std::unordered_map<nid, bool> seen; // guards against cycles only
    while (!todo.empty()) {
        nid cur = todo.back();
        todo.pop_back();
        if (!seen.emplace(cur, true).second) continue;
        for (nid c : next_nodes_arcSon.of(cur)) {
            std::string_view k = kind_of(c);
            if (k == "cObject") {
                std::string t = find_object_type(c);
                if (!t.empty()) used.insert(std::move(t));
            } else if (k == "cFunction" || k == "cBlock" || k == "cIf" || k == "cForLoop" ||
                       k == "cReturn") {
                todo.push_back(c);
            }
        }
    }
    return used;
}

nid root_function(nid id) {
    return walk_up_to(id, [](nid n) { return is_kind(n, "cFunction") && is_global(n); });
}

nid root_initlist(nid id) {
    return walk_up_to(id, [](nid n) { return is_kind(n, "cObject") && is_global(n); });
}

// The top-level declaration that contains id: the last node of the walk before
// it reaches a scope file or the compilation scope.
nid root_type(nid id) {
    return walk_up_to(id, [](nid n) {
        nid up = prev_nodes_arc.of(n).first();
        return up != no_node && (is_kind(up, "cScopeFile") || is_kind(up, "cScopeCompil"));
    });
}

nid context_function(nid id) {
    return root_function(id);
}
nid context_initlist(nid id) {
    return root_initlist(id);
}
std::string context_type(nid id) {
    return trace_type_name(root_type(id));
}

nid find_root(nid id) {
    nid r = root_function(id);
    if (r == no_node) r = root_type(id);
    if (r == no_node) r = root_initlist(id);
    return r;
}

std::string find_context(nid id) {
    nid f = context_function(id);
    if (f != no_node) return get_name("func", f);
    std::string t = context_type(id);
    if (!t.empty()) return t;
    nid v = context_initlist(id);
    if (v != no_node) return get_name("var", v);
    return {};
}

std::vector<nid> find_parameters(nid id) {
    std::vector<nid> types;
    for (nid s : next_nodes.of(id)) {
        std::string_view k = kind_of(s);
        if (k == "cFormalFctParam") {
            nid t = points_to_node(s);
            if (!is_minus_one(t)) types.push_back(t);
        } else if (k == "cAliasType" || k == "cAggrType" || k == "cEnumType" ||
                   k == "cBuiltInType" || k == "cPtrType") {
            types.push_back(s);
        }
    }
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());
    return types;
}
