#include "edge_facts.h"

#include "names.h"
#include "queries.h"
#include "writer.h"

namespace {

// Uses by variable definitions, and by the definitions whose code declares objects.
void definition_uses() {
    for (nid v : cDefGlobalVariables)
        output_line(fact_kind::definition_uses, get_name("var", v), get_object_type(v));
    for (nid o : cObjects) {
        std::string t = get_object_type(o);
        if (t.empty()) continue; // the fact would be dropped
        nid r = find_root(o);
        if (cDefGlobalVariables.contains(r))
            output_line(fact_kind::definition_uses, get_name("var", r), t);
        else if (cDefGlobalFunctions.contains(r))
            output_line(fact_kind::definition_uses, get_name("func", r), t);
    }
}

// Uses by aggregates and type declarations (through their members), and by
// extern variables.
void declaration_uses() {
    for (nid o : cObjects) {
        std::string t = get_object_type(o);
        if (t.empty()) continue; // every fact below would be dropped
        for (nid p : prev_nodes.of(o))
            if (kind_of(p) == "cAggrType")
                output_line(fact_kind::declaration_uses, trace_type_name(p), t);
        nid r = find_root(o);
        if (r != no_node && !cDefGlobalVariables.contains(r) && !cDefGlobalFunctions.contains(r))
            output_line(fact_kind::declaration_uses, trace_type_name(r), t);
    }
    for (nid v : cDclGlobalVariables)
        output_line(fact_kind::declaration_uses, get_name("var", v), get_object_type(v));
}

} // namespace

void generate_var_edges(bool definitions) {
    if (definitions)
        definition_uses();
    else
        declaration_uses();
}
