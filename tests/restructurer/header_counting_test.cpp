// Counting program units per header and summing over inclusion closures.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {
struct three_files {
    graph g;
    node a, h, i;
    three_files() {
        a = file("file:/a.c");
        h = file("file:/h.h");
        i = file("file:/i.h");
        as_header(a)->members.insert(h);
        as_header(h)->members.insert(i);
    }
    node file(const std::string& name) {
        node n(static_cast<int>(g.file_node_by_name.size()) + 1, make_node<Header>(name));
        g.file_node_by_name[name] = n;
        g.included_files.insert(n);
        return n;
    }
    std::vector<node> units() {
        node def = unit(0, "func:main", true, 1, 5, "/elsewhere.c");
        as_unit(def)->start_file = "/a.c"; // a definition counts where it starts
        return {def, unit(1, "type:t", false, 1, 1, "/h.h"), unit(2, "type:u", false, 2, 2, "/h.h"),
                unit(3, "struct:s", false, 1, 3, "/i.h"),
                unit(4, "type:x", false, 1, 1, "/nowhere.h")};
    }
    std::vector<int> before() const {
        return {as_header(a)->units_before, as_header(h)->units_before, as_header(i)->units_before};
    }
    std::vector<int> after() const {
        return {as_header(a)->units_after, as_header(h)->units_after, as_header(i)->units_after};
    }
};
} // namespace

TEST(HeaderCounting, SumsOverInclusionClosure) {
    three_files t;
    t.g.update_headers(t.units(), true);
    EXPECT_EQ(t.before(), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(t.after(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(ids(t.g.header_nodes), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.g.header_unit_count.at("file:/a.c"), 4);
    // The unknown file got an empty entry and no counter changed for it.
    ASSERT_EQ(t.g.file_node_by_name.count("file:/nowhere.h"), 1u);
    EXPECT_EQ(t.g.file_node_by_name.at("file:/nowhere.h").object, nullptr);

    // The second count uses the other counter.
    std::vector<node> fewer = t.units();
    fewer.erase(fewer.begin() + 1);
    t.g.update_headers(fewer, false);
    EXPECT_EQ(t.before(), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(t.after(), (std::vector<int>{3, 2, 1}));
}

TEST(HeaderCounting, MembersOfCompositesAndFileFactsSeen) {
    three_files t;
    auto* impl = make_node<Implement>("a.cpp.c");
    impl->members = {unit(7, "type:t", false, 1, 1, "/h.h")};
    auto* group = make_node<Header>("");
    group->members = {unit(8, "type:u", false, 1, 1, "/i.h")};
    t.g.update_headers({node(20, impl), node(21, group)}, false);
    EXPECT_EQ(t.after(), (std::vector<int>{0, 2, 1}));
    // h.h was counted directly, a.c only through its closure: a.c is not a
    // changed header, so its sum is whatever the table held (nothing yet).
    EXPECT_EQ(t.g.header_unit_count.count("file:/a.c"), 1u);

    // With file facts read, the first count sums the second counters too.
    three_files u;
    u.g.file_facts_seen = true;
    as_header(u.i)->units_after = 10;
    u.g.update_headers(u.units(), true);
    EXPECT_EQ(u.before(), (std::vector<int>{10, 10, 10}));
}

TEST(HeaderCounting, CyclicInclusionCountsEachFileOnce) {
    three_files t;
    as_header(t.i)->members.insert(t.h);
    t.g.update_headers(t.units(), true);
    EXPECT_EQ(t.before(), (std::vector<int>{4, 3, 3}));
}
