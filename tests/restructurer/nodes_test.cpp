#include "header/nodes.h"

#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

using namespace test_support;

TEST(Nodes, ProgramUnitLabelsAndCounts) {
    node main_def = unit(3, "func:main", true, 3, 10, "main.c");
    EXPECT_EQ(main_def.label(), "func:maindef:main.c[3,10]=>[0,0]");
    as_unit(main_def)->new_begin = 7;
    as_unit(main_def)->new_end = 12;
    EXPECT_EQ(main_def.label(), "func:maindef:main.c[3,10]=>[7,12]");
    // A blank in the file name ends the label there.
    node spaced = unit(4, "var:x", false, 1, 2, "my file.c");
    EXPECT_EQ(spaced.label(), "var:xdcl:my");

    std::ostringstream printed;
    printed << main_def;
    EXPECT_EQ(printed.str(), "3func:maindef:main.c[3,10]=>[7,12]");

    node decl = unit(5, "func:f");
    EXPECT_FALSE(decl.is_define());
    EXPECT_EQ(decl.object->count_node("declare"), 1);
    EXPECT_EQ(decl.object->count_node("define"), 0);
    EXPECT_EQ(main_def.object->count_node("define"), 1);
    EXPECT_EQ(main_def.object->count_node("set"), 0);
    EXPECT_EQ(decl.object->get_filename(), "");
}

TEST(Nodes, HeaderDefinitionsCountsAndFileNames) {
    auto* empty = make_node<Header>("empty");
    EXPECT_FALSE(empty->is_define());
    EXPECT_EQ(empty->count_node("set"), 1);
    EXPECT_EQ(empty->get_filename(), "");
    EXPECT_EQ(empty->toString(), "set of :empty");

    auto* group = make_node<Header>("");
    group->members.insert(unit(1, "type:t"));
    EXPECT_FALSE(group->is_define());
    EXPECT_EQ(group->get_filename(), "<id>");
    group->members.insert(unit(2, "func:g", true));
    EXPECT_TRUE(group->is_define());
    EXPECT_EQ(group->count_node("define"), 1);
    EXPECT_EQ(group->count_node("declare"), 1);
    EXPECT_EQ(group->count_node("set"), 1);

    // A header standing for one implementation file takes that file's name.
    auto* file = make_node<Implement>("src/a.cpp.c");
    auto* wrapper = make_node<Header>("");
    wrapper->members.insert(node(9, file));
    EXPECT_EQ(wrapper->get_filename(), "src/a.cpp.new.c");
    EXPECT_TRUE(wrapper->is_define()); // an implementation member counts as a definition
}

TEST(Nodes, ImplementFileNamesModulesAndMembers) {
    EXPECT_EQ(make_node<Implement>("dir/x.c")->get_filename(), "dir/x.new.c");
    EXPECT_EQ(make_node<Implement>("a.cc")->get_filename(), "a..new.c");
    EXPECT_EQ(make_node<Implement>("inc/y.h")->get_filename(), "inc/y.new.h");
    EXPECT_EQ(make_node<Implement>("x.y")->get_filename(), "");
    EXPECT_EQ(Implement::get_module("main.c"), ".");
    EXPECT_EQ(Implement::get_module("src/sub/a.c"), "src/sub");
    auto* file = make_node<Implement>("src/b.c");
    EXPECT_EQ(file->module, "src");
    EXPECT_EQ(file->toString(), "file:src/b.c");
    EXPECT_EQ(file->file(), "src/b.c");

    EXPECT_FALSE(file->is_define());
    file->members.push_back(unit(1, "type:t"));
    EXPECT_FALSE(file->is_define());
    node stat = unit(2, "var:v:static:b.c");
    as_unit(stat)->static_unit = true;
    file->members.push_back(stat);
    EXPECT_TRUE(file->is_define()); // a static member counts
    file->members.push_back(unit(3, "func:h", true));
    EXPECT_EQ(file->count_node("file"), 1);
    EXPECT_EQ(file->count_node("define"), 1);
    EXPECT_EQ(file->count_node("declare"), 2);
}

TEST(Nodes, HandleAndEdgeOrdering) {
    node a = unit(2, "func:a");
    node other_object = unit(2, "func:different");
    node b = unit(-1, "func:b");
    std::set<node> s{a, b};
    EXPECT_FALSE(s.insert(other_object).second); // same number, same node
    EXPECT_EQ(s.find(other_object)->object, a.object);
    EXPECT_EQ(s.begin()->id, -1);

    node empty;
    EXPECT_EQ(empty.id, 0);
    EXPECT_EQ(empty.tag, -1);
    EXPECT_EQ(empty.object, nullptr);

    node c = unit(1, "func:c");
    std::set<edge> es{edge(a, c), edge(c, a), edge(a, b), edge(b, a), edge(c, c)};
    std::vector<std::pair<int, int>> order;
    for (const edge& e : es)
        order.emplace_back(e.from.id, e.to.id);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{-1, 2}, {1, 1}, {1, 2}, {2, -1}, {2, 1}}));

    std::ostringstream printed;
    printed << edge(c, a);
    EXPECT_EQ(printed.str(), "\"1func:cdcl:[0,0]=>[0,0]\"->\"2func:adcl:[0,0]=>[0,0]\"");
}

TEST(Nodes, EdgeWithoutObjectWarnsButIsBuilt) {
    captured_stdout out;
    edge e(node(4, nullptr), unit(7, "func:x"));
    EXPECT_EQ(out.text(), "Warning, empty nodes4->7\n");
    EXPECT_EQ(e.from.id, 4);
    EXPECT_EQ(e.to.id, 7);
    edge fine(unit(1, "a:a"), unit(2, "b:b"));
    EXPECT_EQ(out.text(), "Warning, empty nodes4->7\n");
}

TEST(Nodes, CmpNodeOrdersUnitsByExtractedStart) {
    node a = unit(1, "var:a"), b = unit(2, "var:b"), c = unit(3, "var:c");
    as_unit(a)->new_begin = 30;
    as_unit(b)->new_begin = 10;
    as_unit(c)->new_begin = 20;
    node h(4, make_node<Header>("h"));
    cmp_node less;
    EXPECT_TRUE(less(b, a));
    EXPECT_FALSE(less(a, b));
    EXPECT_FALSE(less(h, a));
    EXPECT_FALSE(less(a, h));
    std::vector<node> v{a, b, c};
    std::sort(v.begin(), v.end(), less);
    EXPECT_EQ(v[0].id, 2);
    EXPECT_EQ(v[1].id, 3);
    EXPECT_EQ(v[2].id, 1);
}
