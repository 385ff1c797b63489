// A definition keeps the declarations of its own name that its unit reads
// (the prototype "int get(void);" of a header for "int get() {...}"): with
// -Wstrict-prototypes or -Wmissing-prototypes the definition compiles only
// after its prototype, and an old-style definition gives no prototype itself.
#include "header/graph.h"

#include <string>
#include <unordered_map>
#include <vector>

void graph::keep_own_declarations() {
    // The functions and variables a unit defines are few beside its
    // declarations: they are gathered first, and each declaration is looked up.
    std::unordered_map<std::string, std::vector<node>> definitions;
    for (const node& n : nodes) {
        if (!n.is_program_unit() || !n.is_define()) continue;
        const std::string& name = n.object->name;
        if (name.compare(0, 5, "func:") == 0 || name.compare(0, 4, "var:") == 0)
            definitions[name].push_back(n);
    }
    if (definitions.empty()) return;
    std::vector<edge> added;
    for (const node& d : nodes) {
        if (!d.is_program_unit() || d.is_define()) continue;
        auto it = definitions.find(d.object->name);
        if (it == definitions.end()) continue;
        for (const node& n : it->second)
            added.emplace_back(d, n);
    }
    edges.insert(added.begin(), added.end());
}
