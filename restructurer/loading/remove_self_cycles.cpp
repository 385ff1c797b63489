// Erases every edge from a unit to itself (a recursive function, for one).
#include "header/graph.h"

#include "loading/trace.h"

void graph::remove_self_cycles() {
    for (auto it = edges.begin(); it != edges.end();) {
        if (it->from.id != it->to.id) {
            ++it;
            continue;
        }
        trace_cycle_edges("ERASING");
        trace_cycle_edges(*it);
        it = edges.erase(it);
    }
}
