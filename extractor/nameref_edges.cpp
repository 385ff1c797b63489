#include "edge_facts.h"

#include "indexes.h"
#include "names.h"
#include "queries.h"
#include "writer.h"

// A name reference uses every global function, object and typedef of that
// name (matching by name, so a static function and a global one of the same
// name are both used), or, for a pointer type's name, the type it points to.
void generate_nameref_edges() {
    for (nid x : cNameRefs) {
        std::string c = find_context(x);
        if (c.empty()) continue;
        std::string_view s = name_of(x);
        if (s.find('*') != std::string_view::npos) {
            nid p = first_ptr_named(s);
            if (p != no_node) output_line(fact_kind::definition_uses, c, trace_type_name(p));
            continue;
        }
        for (nid f : functions_named(s))
            if (is_global(f)) output_line(fact_kind::definition_uses, c, get_name("func", f));
        for (nid o : objects_named(s))
            if (is_global(o)) output_line(fact_kind::definition_uses, c, get_name("var", o));
        for (nid t : alias_types_named(s))
            output_line(fact_kind::definition_uses, c, get_name("type", t));
        // Variables with an initializer list once more, as the object search
        // above already found them; the repeated facts are kept.
        for (nid o : init_list_objects_named(s))
            if (is_global(o)) output_line(fact_kind::definition_uses, c, get_name("var", o));
    }
}
