#include "edge_facts.h"

#include "bookkeeping.h"
#include "names.h"
#include "queries.h"
#include "writer.h"

#include <unordered_set>
#include <vector>

namespace {

bool is_member_type_kind(std::string_view k) {
    return k == "cAliasType" || k == "cEnumType" || k == "cAggrType" || k == "cForwardType" ||
           k == "cBuiltInType" || k == "cPtrType";
}

// The members reachable from `current`: its successors and, for an aggregate,
// after each of its children the children's instance targets (the member types).
std::vector<nid> members_of(nid current) {
    std::vector<nid> members;
    bool aggregate = kind_of(current) == "cAggrType";
    id_range sons = next_nodes_arcSon.of(current);
    for (nid s : next_nodes.of(current)) {
        members.push_back(s);
        if (aggregate && std::binary_search(sons.begin(), sons.end(), s))
            for (nid t : next_nodes_instance.of(s))
                members.push_back(t);
    }
    return members;
}

// True when the type reached from `x` through pointer and array nodes is the
// element type of an array (struct tag[1], struct tag (*)[3]): such a typedef
// needs the complete type and cannot stand before it.
bool names_array_of(nid x) {
    bool array = false;
    for (std::size_t steps = 0; kind_of(x) == "cPtrType" && steps < walk_limit(); ++steps) {
        std::string_view spelling = name_of(x);
        array = !spelling.empty() && spelling.back() == ']';
        x = points_to_node(x);
    }
    return array;
}

} // namespace

// Depth first, as a recursion would go: for each member, the fact of the named
// type it reaches is written, the visit continues into that type, and only
// then does a typedef member add its own fact. The stack is explicit so that
// long chains of types need no call depth.
void fields_uses_types(std::string_view kind, nid id) {
    if (name_of(id) == "(anonymous)") return;
    std::string subject = get_name(kind, id);
    if (subject.empty()) return;
    std::unordered_set<nid> searched_type;
    struct frame {
        std::vector<nid> members;
        std::size_t next = 0;
        nid alias_pending = no_node; // typedef member whose own fact follows its visit
    };
    std::vector<frame> stack;
    auto enter = [&](nid current) {
        if (searched_type.insert(current).second) stack.push_back({members_of(current)});
    };
    enter(id);
    while (!stack.empty()) {
        frame& top = stack.back();
        if (top.alias_pending != no_node) {
            output_line(fact_kind::declaration_uses, subject, get_name("type", top.alias_pending));
            top.alias_pending = no_node;
            continue;
        }
        if (top.next == top.members.size()) {
            stack.pop_back();
            continue;
        }
        nid member = top.members[top.next++];
        std::string_view k = kind_of(member);
        if (k == "cAliasType") top.alias_pending = member;
        if (!is_member_type_kind(k)) continue;
        type_ref used = trace_type(member);
        if (used.name.empty()) continue;
        output_line(fact_kind::declaration_uses, subject, used.name);
        if (used.target != no_node) enter(used.target); // `top` may dangle from here on
    }
}

void generate_type_edges() {
    for (nid t : cDclGlobalTypes) {
        fields_uses_types("type", t);
        std::string n = get_name("type", t);
        if (n.empty()) continue;
        for (nid x : next_nodes_instance.of(t)) {
            std::string m = trace_type_name(x);
            if (m == n) continue;
            output_line(fact_kind::declaration_uses, n, m);
            // A typedef and the structure, union or function type it names use
            // each other; a typedef of a typedef or of an enum uses it one way,
            // and so does an array typedef, which must follow its element type.
            std::string_view m_kind = std::string_view(m).substr(0, m.find(':'));
            if (m_kind != "type" && m_kind != "enum" && !names_array_of(x))
                output_line(fact_kind::declaration_uses, m, n);
        }
    }
}
