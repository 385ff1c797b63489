// A definition keeps the declarations of its own name that its unit reads
// (the prototype "int get(void);" of a header for "int get() {...}"): with
// -Wstrict-prototypes or -Wmissing-prototypes the definition compiles only
// after its prototype, and an old-style definition gives no prototype itself.
#include "header/graph.h"

#include <map>
#include <string>
#include <vector>

void graph::keep_own_declarations() {
    std::map<std::string, std::vector<node>> declarations;
    for (const node& n : nodes)
        if (n.is_program_unit() && !n.is_define()) declarations[n.object->name].push_back(n);
    std::vector<edge> added;
    for (const node& n : nodes) {
        if (!n.is_program_unit() || !n.is_define()) continue;
        const std::string& name = n.object->name;
        if (name.compare(0, 5, "func:") != 0 && name.compare(0, 4, "var:") != 0) continue;
        auto it = declarations.find(name);
        if (it == declarations.end()) continue;
        for (const node& d : it->second)
            added.emplace_back(d, n);
    }
    edges.insert(added.begin(), added.end());
}
