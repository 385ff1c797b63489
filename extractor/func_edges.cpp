#include "edge_facts.h"

#include "names.h"
#include "queries.h"
#include "writer.h"

void generate_func_edges(bool with_bodies) {
    if (with_bodies) {
        for (nid f : cDefGlobalFunctions) {
            std::string n = get_name("func", f);
            for (const std::string& t : find_all_children_used_types(f))
                output_line(fact_kind::definition_uses, n, t);
            for (nid p : find_parameters(f))
                output_line(fact_kind::definition_uses, n, trace_type_name(p));
        }
        return;
    }
    for (nid f : cDclGlobalFunctions) {
        std::string n = get_name("func", f);
        for (nid p : find_parameters(f))
            output_line(fact_kind::declaration_uses, n, trace_type_name(p));
    }
    // A function declarator inside another declaration (a function-pointer
    // member or typedef): the enclosing declaration uses the parameter types.
    for (nid f : cFunctions) {
        if (is_global(f)) continue;
        std::vector<nid> params = find_parameters(f);
        if (params.empty()) continue;
        std::string q = trace_type_name(prev_nodes_arcSon.of(f).first());
        for (nid p : params)
            output_line(fact_kind::declaration_uses, q, trace_type_name(p));
    }
    for (nid t : cFctTypes) {
        std::string n = get_name("fct", t);
        if (n.empty()) continue;
        for (nid p : find_parameters(t))
            output_line(fact_kind::declaration_uses, n, trace_type_name(p));
    }
}
