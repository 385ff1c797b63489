// topological_ordering keeps pending-use counts instead of rescanning the edges
// every step; on random unit sets and edge sets (cycles, edges whose handles
// carry other objects than the caller's, edges leaving the set) it must give
// the plain rescanning order, handle for handle.
#include "header/graph.h"

#include <gtest/gtest.h>

#include <random>

namespace {
// The plain description: every step rescans the edges between the remaining
// units; of the units that none uses, the first by source position (then by
// number) goes out, the others used wait, held by the handles of the edges that
// make them wait; when all wait, the
// breaker goes out: the first type-like unit in the text none of whose pending
// uses stood before it, else the type-like unit reaching most nodes, else the
// lowest number.
bool before(const node& a, const node& b) {
    const auto* x = static_cast<ProgramUnit*>(a.object);
    const auto* y = static_cast<ProgramUnit*>(b.object);
    return x->new_begin > 0 && y->new_begin > 0 && x->new_begin < y->new_begin;
}

std::vector<node> plain_ordering(node_set units, const edge_set& deps) {
    std::vector<node> result;
    while (!units.empty()) {
        node_set blocked;
        for (const edge& e : deps)
            if (e.from != e.to && units.count(e.from) && units.count(e.to)) blocked.insert(e.to);
        if (blocked.size() < units.size()) {
            node first;
            for (const node& n : units) {
                if (blocked.count(n)) continue;
                const int at = static_cast<ProgramUnit*>(n.object)->new_begin;
                if (!first.object || at < static_cast<ProgramUnit*>(first.object)->new_begin)
                    first = n;
            }
            result.push_back(first);
            node_set rest = blocked;
            for (const node& n : units)
                if (n != first) rest.insert(n); // a free unit keeps its handle
            units = std::move(rest);
            continue;
        }
        // The first unit in the text none of whose pending uses stood before it.
        node first;
        for (const node& n : units) {
            const std::string& name = n.object->name;
            if (name.rfind("func:", 0) == 0 || name.rfind("var:", 0) == 0) continue;
            if (static_cast<ProgramUnit*>(n.object)->new_begin == 0) continue;
            bool free = true;
            for (const edge& e : deps)
                if (e.to == n && e.from != e.to && units.count(e.from) && before(e.from, n))
                    free = false;
            if (free && (!first.object || before(n, first))) first = n;
        }
        graph reach;
        reach.edges = deps;
        node best = first;
        std::size_t best_size = 0;
        for (const node& n : units) {
            if (first.object) break;
            const std::string& name = n.object->name;
            if (name.rfind("func:", 0) == 0 || name.rfind("var:", 0) == 0) continue;
            const std::size_t size = reach.dominate_set(n).size();
            if (!best.object || size > best_size) {
                best = n;
                best_size = size;
            }
        }
        if (!best.object) best = *units.begin();
        result.push_back(best);
        units.erase(best);
    }
    return result;
}

node random_unit(int id, std::mt19937& random) {
    static const char* const kinds[] = {"func:f", "var:v", "type:t", "struct:s"};
    auto* u = make_node<ProgramUnit>(kinds[random() % 4] + std::to_string(id));
    u->new_begin = static_cast<int>(random() % 6); // ties are frequent
    return node(id, u);
}
} // namespace

TEST(OrderingCrossCheck, PendingCountsGiveThePlainOrderOnRandomGraphs) {
    std::mt19937 random(15);
    graph g;
    for (int round = 0; round < 400; ++round) {
        const int count = 1 + static_cast<int>(random() % 14);
        std::vector<node> all, other;
        for (int i = 0; i < count + 3; ++i) {
            all.push_back(random_unit(i, random));
            other.push_back(random_unit(i, random)); // same number, another object
        }
        node_set units;
        for (int i = 0; i < count; ++i)
            if (random() % 5) units.insert(all[i]);
        if (units.empty()) units.insert(all[0]);
        edge_set deps;
        const int edges = static_cast<int>(random() % (3 * count + 1));
        for (int e = 0; e < edges; ++e) {
            const int from = static_cast<int>(random() % all.size());
            const int to = static_cast<int>(random() % all.size());
            deps.insert(
                edge(random() % 2 ? all[from] : other[from], random() % 2 ? all[to] : other[to]));
        }
        const std::vector<node> got = g.topological_ordering(units, deps);
        const std::vector<node> want = plain_ordering(units, deps);
        ASSERT_EQ(got.size(), want.size()) << "round " << round;
        for (std::size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i].id, want[i].id) << "round " << round << " place " << i;
            ASSERT_EQ(got[i].object, want[i].object) << "round " << round << " place " << i;
        }
    }
}
