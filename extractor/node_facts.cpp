#include "node_facts.h"

#include "bookkeeping.h"
#include "names.h"
#include "queries.h"
#include "writer.h"

#include <map>
#include <string>

namespace {

std::string file_name(nid scope) {
    return "file:" + std::string(name_of(scope));
}

// The nearest scope file above n (n excluded), or no_node.
nid enclosing_scope_file(nid n) {
    nid cur = prev_nodes_arcSon.of(n).first();
    for (std::size_t steps = 0; cur != no_node && steps < walk_limit(); ++steps) {
        if (kind_of(cur) == "cScopeFile") return cur;
        cur = prev_nodes_arcSon.of(cur).first();
    }
    return no_node;
}

void count_files() {
    std::map<std::string_view, long> counts;
    for (nid n = 0; n < the_nodes.size(); ++n) {
        std::string_view k = kind_of(n);
        if (k != "cObject" && k != "cFunction" && k.find("Type") == std::string_view::npos)
            continue;
        nid f = enclosing_scope_file(n);
        if (f != no_node) ++counts[name_of(f)];
    }
    for (const auto& [name, count] : counts)
        output_line(fact_kind::file_units, "file:" + std::string(name),
                    std::to_string(count) + ":0");
}

// One pass over ids: each global id that `accept` admits gets its fact.
template <class Accept, class Write>
id_set unit_pass(const id_set& ids, Accept accept, Write write) {
    id_set accepted;
    for (nid id : ids) {
        if (!is_global(id) || !accept(id)) continue;
        write(id);
        accepted.add_ascending(id);
    }
    return accepted;
}

} // namespace

void generate_files(bool count) {
    if (count) {
        count_files();
        return;
    }
    for (nid f : cScopeFiles)
        for (nid p : prev_nodes_arcSon.of(f))
            if (!node(p).id.empty() && !name_of(p).empty())
                output_line(fact_kind::inclusion, file_name(p), file_name(f));
}

id_set generate_global_functions(const id_set& ids, bool definition) {
    return unit_pass(
        ids, [&](nid id) { return has_body(id) == definition; },
        [&](nid id) {
            output_line(definition ? fact_kind::definition : fact_kind::declaration,
                        get_name("func", id), get_location("func", id, definition));
        });
}

id_set generate_global_variables(const id_set& ids, bool definition) {
    return unit_pass(
        ids, [&](nid id) { return is_extern(id) != definition; },
        [&](nid id) {
            output_line(definition ? fact_kind::definition : fact_kind::declaration,
                        get_name("var", id), get_location("var", id, definition));
        });
}

id_set generate_global_types(const id_set& ids) {
    return unit_pass(
        ids, [](nid) { return true; },
        [](nid id) {
            output_line(fact_kind::declaration, get_name("type", id),
                        get_location("type", id, false));
        });
}

id_set generate_global_enums(const id_set& ids) {
    return unit_pass(
        ids, [](nid) { return true; },
        [](nid id) {
            output_line(fact_kind::declaration, get_name("enum", id),
                        get_location("enum", id, false));
        });
}

id_set generate_global_structs(const id_set& ids) {
    return unit_pass(
        ids, [](nid) { return true; },
        [](nid id) {
            output_line(fact_kind::declaration, get_name(node(id).attrs.type, id),
                        get_location("aggr", id, false));
        });
}

void generate_nodes() {
    cDefGlobalFunctions = generate_global_functions(cFunctions, true);
    cDefGlobalVariables = generate_global_variables(cObjects, true);
    cDclGlobalFunctions = generate_global_functions(cFunctions, false);
    cDclGlobalVariables = generate_global_variables(cObjects, false);
    cDclGlobalTypes = generate_global_types(cAliasTypes);
    cDclGlobalEnums = generate_global_enums(cEnumTypes);
    cDclGlobalAggrs = generate_global_structs(cAggrTypes);
}
