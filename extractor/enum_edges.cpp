#include "edge_facts.h"

#include "bookkeeping.h"
#include "indexes.h"
#include "names.h"
#include "queries.h"
#include "writer.h"

namespace {

// Walks up from a reference to an enumerator to the top-level declaration that
// contains it and reports the use of the enum `n`.
void enum_use(nid x, const std::string& n, bool array_refs) {
    nid top = root_type(x);
    if (!array_refs) {
        if (top == no_node) return;
        std::string_view k = kind_of(top);
        if (k == "cFunction")
            output_line(fact_kind::definition_uses, get_name("func", top), n);
        else if (k == "cObject")
            output_line(fact_kind::definition_uses, get_name("var", top), n);
        // An enumerator in a member's or a typedef's array size (int a[N];)
        // makes the structure or the typedef depend on the enum.
        else if (k == "cAggrType" || k == "cAliasType")
            output_line(fact_kind::declaration_uses, trace_type_name(top), n);
        return;
    }
    // An array subscripted with the enumerator depends on the enum.
    nid cur = x;
    for (std::size_t steps = 0; cur != no_node && steps < walk_limit(); ++steps) {
        if (kind_of(cur) == "cBinaryOperator" && node(cur).attrs.op == "array-ref") {
            nid array = next_nodes_arcOpd.of(cur).first();
            if (kind_of(array) == "cNameRef")
                for (nid o : objects_named(name_of(array)))
                    output_line(fact_kind::declaration_uses, get_name("var", o), n);
        }
        if (cur == top) break;
        cur = prev_nodes_arc.of(cur).first();
    }
}

} // namespace

void generate_enum_edges(bool array_refs) {
    for (nid e : cDclGlobalEnums) {
        fields_uses_types("enum", e);
        std::string n = get_name("enum", e);
        if (n.empty()) continue;
        for (nid k : next_nodes_arcSon.of(e)) {
            if (kind_of(k) != "cEnumerator") continue;
            for (nid x : name_refs_named(name_of(k)))
                enum_use(x, n, array_refs);
        }
    }
}
