// The emission tables against the plain queries on random compressed graphs:
// leaves reached against actual_dominate_set (cycles, leaves inside cycles,
// edge ends that are not nodes, numbers the graph does not know), and the
// headers used directly against a scan of every edge, the users and the header
// ends of each node's edges against out_degree and a scan of its edge range,
// and the set bits of every leaf set against its node set.
#include "codegen/emission_index.h"
#include "partition/leaf_sets.h"

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
            ASSERT_EQ(index.users_of(n), c.out_degree(n, c.edges)) << "round " << round;
            std::vector<node> header_ends;
            for (auto it = c.edges.lower_bound(edge::first_from(id));
                 it != c.edges.end() && it->from.id == id; ++it)
                if (it->to.is_header()) header_ends.push_back(it->to);
            const std::vector<node>& using_headers = index.headers_using(id);
            ASSERT_EQ(using_headers.size(), header_ends.size()) << "round " << round;
            for (std::size_t i = 0; i < header_ends.size(); ++i)
                ASSERT_TRUE(using_headers[i].id == header_ends[i].id &&
                            using_headers[i].object == header_ends[i].object)
                    << "round " << round << " node " << id;
        }
    }
}

TEST(LeafSets, SetBitsNameTheLeavesOfEveryKey) {
    std::mt19937 random(5);
    for (int round = 0; round < 100; ++round) {
        node_set nodes, leaves;
        edge_set edges;
        std::vector<node> all;
        const int count = 2 + static_cast<int>(random() % 150); // sets of several words
        for (int i = 0; i < count; ++i) {
            all.emplace_back(i, make_node<Header>(""));
            nodes.insert(all.back());
            if (random() % 2) leaves.insert(all.back());
        }
        for (int e = static_cast<int>(random() % (3 * count)); e > 0; --e)
            edges.insert(edge(all[random() % all.size()], all[random() % all.size()]));
        const leaf_sets reach(nodes, edges, leaves);
        for (const node& n : nodes) {
            const int key = reach.key_of(n);
            std::vector<int> from_bits;
            reach.for_each_bit(key, [&](std::size_t bit) {
                from_bits.push_back(reach.leaves()[bit].id);
            });
            std::vector<int> from_set;
            for (const node& leaf : reach.leaves_of(key))
                from_set.push_back(leaf.id);
            ASSERT_EQ(from_bits, from_set) << "round " << round << " node " << n.id;
        }
    }
}
