// Which uses of a structure, union or typedef need its declaration whole, and
// which an incomplete type satisfies. The use facts (definition_uses,
// declaration_uses) say that a unit
// uses another; this pass walks each unit's own types again, noting the type
// names its text names and the aggregates it needs complete, and writes:
//   *_uses_tag U X  when U (a definition / a declaration) uses X, a structure or
//                union or typedef, but needs no more of it than a structure's
//                tag: X is named only behind pointers, in prototypes or extern
//                declarations, or not at all (reached through the members of
//                other types);
//   *_uses U S      when U needs the aggregate S complete but no use fact says
//                so directly (a member access through a typedef's pointer).
#include "edge_facts.h"

#include "bookkeeping.h"
#include "indexes.h"
#include "names.h"
#include "queries.h"
#include "writer.h"

#include <cctype>
#include <map>

namespace {

struct unit_needs {
    std::set<std::string> named;    // typedefs and tags its text names
    std::set<std::string> complete; // aggregates needed whole
};

// By whether the unit is a definition, and its name: a function's
// definition and its prototype are two units.
std::map<std::pair<bool, std::string>, unit_needs> needs_of;

bool aggregate_name(const std::string& name) {
    return name.compare(0, 7, "struct:") == 0 || name.compare(0, 6, "union:") == 0;
}

bool is_array_type(nid t) {
    std::string_view name = name_of(t);
    return !name.empty() && name.back() == ']';
}

// Walks the type t of a declaration of `subject`. `whole` tells whether the
// declaration needs t complete (an object, a member, a parameter of a
// definition) or not (a prototype's parameter, an extern object, a typedef).
// A pointer needs no complete pointee; an array needs its element complete; a
// typedef needed whole needs what it names whole.
void walk(nid t, bool whole, unit_needs& needs) {
    for (std::size_t steps = 0; t != no_node && steps < walk_limit(); ++steps) {
        std::string_view k = kind_of(t);
        if (k == "cPtrType") {
            whole = is_array_type(t);
            t = points_to_node(t);
            continue;
        }
        if (k == "cFctType") {
            for (nid p : find_parameters(t))
                if (p != t) walk(p, false, needs);
            return;
        }
        if (k != "cAliasType" && k != "cAggrType" && k != "cForwardType" && k != "cEnumType")
            return;
        std::string name = trace_type(t).name;
        if (name.empty()) return;
        needs.named.insert(name);
        if (k == "cAliasType") {
            if (!whole) return;
            t = next_nodes_instance.of(t).first();
            continue;
        }
        if (whole && aggregate_name(name)) needs.complete.insert(name);
        return;
    }
}

unit_needs& needs(bool definition, const std::string& subject) {
    return needs_of[{definition, subject}];
}

// The needs a fact of `kind` about `subject` reads: a definition's for
// definition_uses, a declaration's for declaration_uses, the other kind's when
// there is none (as the reader looks the unit up).
const unit_needs* needs_for(int kind, const std::string& subject) {
    const bool definition = kind == fact_kind::definition_uses;
    auto found = needs_of.find({definition, subject});
    if (found == needs_of.end()) found = needs_of.find({!definition, subject});
    return found == needs_of.end() ? nullptr : &found->second;
}

void declarations_and_definitions() {
    for (nid f : cDefGlobalFunctions) {
        unit_needs& n = needs(true, get_name("func", f));
        for (nid p : find_parameters(f))
            walk(p, true, n);
    }
    for (nid v : cDefGlobalVariables)
        walk(next_nodes_instance.of(v).first(), true, needs(true, get_name("var", v)));
    for (nid f : cDclGlobalFunctions) {
        unit_needs& n = needs(false, get_name("func", f));
        for (nid p : find_parameters(f))
            walk(p, false, n);
    }
    for (nid f : cFunctions) {
        if (is_global(f)) continue;
        std::string q = trace_type_name(prev_nodes_arcSon.of(f).first());
        if (q.empty()) continue;
        unit_needs& n = needs(false, q);
        for (nid p : find_parameters(f))
            walk(p, false, n);
    }
    for (nid t : cFctTypes) {
        std::string name = get_name("fct", t);
        if (name.empty()) continue;
        unit_needs& n = needs(false, name);
        for (nid p : find_parameters(t))
            walk(p, false, n);
    }
    for (nid v : cDclGlobalVariables)
        walk(next_nodes_instance.of(v).first(), false, needs(false, get_name("var", v)));
    for (nid t : cDclGlobalTypes) {
        std::string name = get_name("type", t);
        if (name.empty()) continue;
        unit_needs& n = needs(false, name);
        for (nid x : next_nodes_instance.of(t))
            walk(x, false, n);
    }
}

// Members need their types whole, and so do local objects and the objects of
// an initializer (an extern one excepted).
void objects() {
    for (nid o : cObjects) {
        nid type = next_nodes_instance.of(o).first();
        for (nid p : prev_nodes.of(o))
            if (kind_of(p) == "cAggrType") {
                std::string s = trace_type_name(p);
                if (!s.empty()) walk(type, true, needs(false, s));
            }
        nid r = find_root(o);
        if (r == no_node || r == o) continue;
        if (cDefGlobalVariables.contains(r))
            walk(type, !is_extern(o), needs(true, get_name("var", r)));
        else if (cDefGlobalFunctions.contains(r))
            walk(type, !is_extern(o), needs(true, get_name("func", r)));
        else if (std::string s = trace_type_name(r); !s.empty())
            walk(type, true, needs(false, s));
    }
}

// Names in code and in declarations: a typedef named in a cast uses its name;
// a reference marked complete (a member access, sizeof, a value of the type)
// needs the type whole.
void name_references() {
    for (nid x : cNameRefs) {
        std::string c = find_context(x);
        if (c.empty()) continue;
        const bool whole = node(x).attrs.complete == "True";
        std::string_view s = name_of(x);
        // Code of a function or a variable's initializer, or a type's array
        // size or enumerator value.
        nid f = context_function(x);
        const bool definition = f != no_node ? has_body(f) : context_type(x).empty();
        unit_needs& n = needs(definition, c);
        if (s.find('*') != std::string_view::npos) {
            nid p = first_ptr_named(s);
            if (p == no_node) continue;
            if (whole)
                walk(points_to_node(p), true, n);
            else
                walk(p, false, n);
            continue;
        }
        for (nid t : alias_types_named(s))
            walk(t, whole, n);
    }
}

// The aggregate a typedef names without a pointer between (through other
// typedefs), or "".
std::string aggregate_behind(const std::string& type_name) {
    const std::string bare = type_name.substr(5);
    for (nid t : alias_types_named(bare)) {
        if (get_name("type", t) != type_name) continue;
        nid x = next_nodes_instance.of(t).first();
        for (std::size_t steps = 0; x != no_node && steps < walk_limit(); ++steps) {
            std::string_view k = kind_of(x);
            if (k == "cAliasType") {
                x = next_nodes_instance.of(x).first();
                continue;
            }
            if (k == "cAggrType" || k == "cForwardType") {
                std::string name = trace_type(x).name;
                return aggregate_name(name) ? name : std::string();
            }
            return {};
        }
    }
    return {};
}

// An aggregate without a tag: its name holds the node's number.
bool anonymous(const std::string& aggregate) {
    const std::size_t colon = aggregate.find(':');
    return colon + 1 < aggregate.size() &&
           std::isdigit(static_cast<unsigned char>(aggregate[colon + 1]));
}

// The aggregate a typedef defines in its own statement (`typedef struct S
// {...} T;`, also unnamed), or that a typedef of such a typedef names
// (`typedef T T2;`), or "": the typedef's text is, or needs, the aggregate's.
std::string aggregate_defined_by(const std::string& type_name) {
    if (type_name.compare(0, 5, "type:") != 0) return {};
    const std::string bare = type_name.substr(5);
    for (nid t : alias_types_named(bare)) {
        if (get_name("type", t) != type_name) continue;
        nid x = next_nodes_instance.of(t).first();
        for (std::size_t steps = 0; x != no_node && steps < walk_limit(); ++steps) {
            if (kind_of(x) == "cAggrType") return trace_type(x).name;
            if (kind_of(x) != "cAliasType") break;
            x = next_nodes_instance.of(x).first();
        }
    }
    return {};
}

} // namespace

void generate_tag_only_edges() {
    needs_of.clear();
    declarations_and_definitions();
    objects();
    name_references();

    // The complete uses written below join the set; marks are read first.
    const std::set<use_fact>& uses = written_uses();
    std::set<use_fact> marks;
    for (const use_fact& u : uses) {
        const unit_needs* found = needs_for(u.kind, u.subject);
        if (!found) continue; // a unit this pass does not model
        const unit_needs& n = *found;
        const int mark = u.kind == fact_kind::definition_uses ? fact_kind::definition_uses_tag
                                                              : fact_kind::declaration_uses_tag;
        if (aggregate_name(u.object)) {
            // A typedef and the aggregate it defines are one statement: the
            // typedef's text holds the aggregate's members and needs what
            // they need.
            if (!n.complete.count(u.object) && aggregate_defined_by(u.subject) != u.object)
                marks.insert(use_fact{mark, u.subject, u.object});
        } else if (u.object.compare(0, 5, "type:") == 0) {
            std::string behind = aggregate_behind(u.object);
            // An aggregate keeps the typedef that names it: written in one
            // statement (`typedef struct S {...} T;`) the two are one unit,
            // which must come out the same in every unit that has it.
            if (!n.named.count(u.object) && behind != u.subject)
                marks.insert(use_fact{mark, u.subject, u.object});
            // Users of a typedef are given the structure it names: only
            // those that need it whole keep it. An unnamed structure the
            // typedef defines in its own statement comes with the typedef's
            // text; a named one can be cut from it (`typedef struct S T;`).
            if (!behind.empty() && !n.complete.count(behind) &&
                (aggregate_defined_by(u.object) != behind || !anonymous(behind)))
                marks.insert(use_fact{mark, u.subject, behind});
        }
    }
    for (const auto& [key, n] : needs_of)
        for (const std::string& aggregate : n.complete)
            if (!uses.count(use_fact{fact_kind::definition_uses, key.second, aggregate}) &&
                !uses.count(use_fact{fact_kind::declaration_uses, key.second, aggregate}))
                output_line(key.first ? fact_kind::definition_uses : fact_kind::declaration_uses,
                            key.second, aggregate);
    for (const use_fact& m : marks)
        output_line(m.kind, m.subject, m.object);
    needs_of.clear();
}
