// The emission tables against the plain queries on random compressed graphs:
// leaves reached against actual_dominate_set (cycles, leaves inside cycles,
// edge ends that are not nodes, numbers the graph does not know), and the
// headers used directly against a scan of every edge.
#include "codegen/emission_index.h"

#include <gtest/gtest.h>

#include <random>

TEST(EmissionIndex, TablesEqualThePlainQueriesOnRandomGraphs) {
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        graph c;
        std::vector<node> all;
        const int count = 2 + static_cast<int>(random() % 20);
        for (int i = 0; i < count; ++i) {
            Node* object;
            if (random() % 3 == 0) {
                auto* u = make_node<ProgramUnit>("func:f" + std::to_string(i));
                object = u;
            } else {
                object = make_node<Header>("");
            }
            all.emplace_back(i, object);
            if (random() % 6) c.nodes.insert(all.back()); // the rest are only edge ends
            if (random() % 4 == 0) c.leaves.insert(all.back());
        }
        const int edges = static_cast<int>(random() % (2 * count));
        for (int e = 0; e < edges; ++e)
            c.edges.insert(edge(all[random() % all.size()], all[random() % all.size()]));

        emission_index index(c, c.edges);
        for (int id = 0; id < count + 2; ++id) { // two numbers beyond the graph
            const node n = id < count ? all[id] : node(id, make_node<Header>(""));
            ASSERT_EQ(index.leaves_reached(n), c.actual_dominate_set(n).size())
                << "round " << round << " node " << id;
            node_set scanned;
            for (const edge& e : c.edges)
                if (e.to.id == id && e.from.id != id && e.from.is_header()) scanned.insert(e.from);
            const node_set& indexed = index.headers_used_by(id);
            ASSERT_EQ(index.units_reached(n), c.dominate_set(n).size())
                << "round " << round << " node " << id;
            ASSERT_EQ(indexed.size(), scanned.size()) << "round " << round << " node " << id;
            auto a = indexed.begin();
            for (auto b = scanned.begin(); b != scanned.end(); ++a, ++b)
                ASSERT_TRUE(a->id == b->id && a->object == b->object) << "round " << round;
        }
    }
}
