// Merging per-file graphs: the matching rule, renumbering, implementation-file
// member lists, and the indexed matching against a plain scan on random files.
#include "header/graph.h"
#include "loading/merge_candidates.h"

#include "support.h"

#include <gtest/gtest.h>

#include <random>

using namespace test_support;

namespace {

// Loads one per-file graph into g and merges it into acc.
void merge(graph& g, graph::accumulated_graph& acc, std::vector<node> units, arc_list links,
           std::map<int, std::string> texts = {}) {
    g.nodes.clear();
    g.edges.clear();
    for (const node& n : units)
        g.nodes.insert(n);
    for (auto [a, b] : links)
        g.edges.insert(edge(*g.nodes.find(node(a, nullptr)), *g.nodes.find(node(b, nullptr))));
    g.unit_texts = std::move(texts);
    g.merge_file_graph(acc);
}

std::vector<std::string> labels(const node_set& nodes) {
    std::vector<std::string> result;
    for (const node& n : nodes)
        result.push_back(std::to_string(n.id) + n.object->name);
    return result;
}
} // namespace

TEST(Merging, NamedUnitsDefinitionsAndDeclarations) {
    graph g;
    graph::accumulated_graph acc;
    merge(g, acc, {unit(0, "func:f", false, 3, 3, "/h.h"), unit(1, "func:a", true, 1, 9, "/a.c")},
          {{0, 1}}, {{1, "int a;"}});
    merge(g, acc,
          {unit(0, "func:b", true, 1, 9, "/b.c"), unit(1, "func:f", false, 3, 3, "/h.h"),
           unit(2, "func:f", true, 5, 8, "/b.c")},
          {{1, 0}}, {{0, "int b;"}});
    // Offset 2: func:b becomes 2, the declaration func:f is recognised as 0,
    // the definition func:f is a unit of its own.
    EXPECT_EQ(labels(acc.nodes),
              (std::vector<std::string>{"0func:f", "1func:a", "2func:b", "4func:f"}));
    EXPECT_EQ(arcs(acc.edges), (arc_list{{0, 1}, {0, 2}}));
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 2}, {1, 0}, {2, 4}}));
    EXPECT_EQ(acc.unit_texts.at(1), "int a;");
    EXPECT_EQ(acc.unit_texts.at(2), "int b;");
    EXPECT_EQ(acc.unit_texts.at(4), "");
}

TEST(Merging, DefinitionsOfOneNameInTwoSourcesStayApart) {
    graph g;
    graph::accumulated_graph acc;
    // Two programs of one project (lua.c and luac.c) each define main; a
    // function defined in a header is one unit wherever it is included.
    auto defined_in = [](int id, const std::string& name, const std::string& file,
                         const std::string& context) {
        node n = unit(id, name, true, 3, 9, context);
        as_unit(n)->start_file = file;
        return n;
    };
    merge(g, acc,
          {defined_in(0, "func:main", "/lua.c", "/lua.c"),
           defined_in(1, "func:inl", "/h.h", "/lua.c")},
          {}, {{0, "int main(void) { return 0; }"}});
    merge(g, acc,
          {defined_in(0, "func:main", "/luac.c", "/luac.c"),
           defined_in(1, "func:inl", "/h.h", "/luac.c"), unit(2, "func:main", false, 1, 1, "/m.h")},
          {}, {{0, "int main(void) { return 1; }"}});
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 2}, {1, 1}, {2, 4}}));
    EXPECT_EQ(acc.unit_texts.at(0), "int main(void) { return 0; }");
    EXPECT_EQ(acc.unit_texts.at(2), "int main(void) { return 1; }");
    // A declaration of the name is still one unit in every file.
    merge(g, acc, {unit(0, "func:main", false, 1, 1, "/m.h")}, {});
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 4}}));
}

// A type or a declaration written in a unit's own source (<unit>.cpp.c) is
// private to that unit: another source's type or prototype of that name is
// another unit (an amalgamation holds a copy of its header's text, whose
// declarations name its own copies of the types). Units of a header are one
// unit by name as before.
TEST(Merging, TypesOfTwoSourcesStayApart) {
    graph g;
    graph::accumulated_graph acc;
    merge(g, acc,
          {unit(0, "type:table_t", false, 2, 2, "/a.cpp.c"),
           unit(1, "struct:ctx_s", false, 3, 3, "/a.cpp.c"),
           unit(2, "type:ctx_t", false, 3, 3, "/a.h"),
           unit(3, "func:get", false, 5, 5, "/a.cpp.c")},
          {});
    merge(g, acc,
          {unit(0, "type:table_t", false, 2, 2, "/b.cpp.c"),
           unit(1, "struct:ctx_s", false, 0, 0, ""), unit(2, "type:ctx_t", false, 3, 3, "/a.h"),
           unit(3, "func:get", false, 4, 4, "/b.cpp.c"),
           unit(4, "enum:color", false, 1, 1, "/b.cpp.c")},
          {});
    // Offset 4: b's table_t, the structure it only names and its prototype of
    // get are units of their own; the header's typedef is recognised.
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 4}, {1, 5}, {2, 2}, {3, 7}, {4, 8}}));
    // The same source read again (one source in two programs) is one unit.
    merge(g, acc, {unit(0, "type:table_t", false, 2, 2, "/b.cpp.c")}, {});
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 4}}));
}

TEST(Merging, AnonymousUnitsByPositionButNeverTypeNames) {
    graph g;
    graph::accumulated_graph acc;
    merge(g, acc,
          {unit(0, "struct:1234", false, 10, 14, "/h.h"), unit(1, "type:55", false, 20, 20, "/h.h"),
           unit(2, "enum:7", false, 0, 0, "/h.h")},
          {});
    merge(g, acc,
          {unit(0, "struct:987", false, 10, 14, "/h.h"),
           unit(1, "struct:988", false, 11, 14, "/h.h"), unit(2, "type:66", false, 20, 20, "/h.h"),
           unit(3, "enum:8", false, 0, 0, "/h.h"), unit(4, "enum:7", false, 0, 0, "/h.h"),
           unit(5, "struct:1234", false, 30, 31, "/h.h")},
          {});
    // struct:987 sits where struct:1234 sits; struct:988 does not. Two type
    // names are never merged by position; position 0 never matches; an
    // anonymous name matches by position only, never by name.
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 0}, {1, 4}, {2, 5}, {3, 6}, {4, 7}, {5, 8}}));

    // A named unit may take the place of an anonymous one at the same position,
    // and a "type:" name may match a name without it.
    merge(g, acc,
          {unit(0, "type:t", false, 10, 14, "/h.h"), unit(1, "var:x", false, 11, 14, "/h.h")}, {});
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 0}, {1, 4}}));
}

// A header whose names a macro builds from each unit's prefix declares other
// units at the same place: two different names are never one unit by position.
TEST(Merging, DifferentNamesAtOnePlaceStayApart) {
    graph g;
    graph::accumulated_graph acc;
    merge(
        g, acc,
        {unit(0, "struct:a_state", false, 4, 4, "/h.h"), unit(1, "struct:77", false, 6, 6, "/h.h")},
        {});
    merge(g, acc,
          {unit(0, "struct:b_state", false, 4, 4, "/h.h"),
           unit(1, "struct:b_named", false, 6, 6, "/h.h")},
          {});
    // b_state is a unit of its own; b_named takes the anonymous one's place.
    EXPECT_EQ(g.new_id_of, (std::map<int, int>{{0, 2}, {1, 1}}));
}

TEST(Merging, ImplementationFileMembersAreRenumbered) {
    graph g;
    graph::accumulated_graph acc;
    auto* first = make_node<Implement>("a.cpp.c");
    first->members = {unit(1, "func:shared", true, 2, 3, "/s.c"),
                      unit(2, "var:own", true, 4, 4, "/a.c")};
    merge(g, acc, {unit(0, "type:t", false, 1, 1, "/t.h"), node(3, first)}, {{0, 3}});

    auto* second = make_node<Implement>("b.cpp.c");
    node shared_copy = unit(5, "func:shared", true, 2, 3, "/s.c");
    node fresh = unit(6, "var:b", true, 1, 1, "/b.c");
    second->members = {fresh, shared_copy};
    node stray = unit(9, "type:gone", false, 1, 1, "/t.h"); // not in nodes
    merge(g, acc,
          {unit(0, "type:t", false, 1, 1, "/t.h"), unit(1, "type:u", false, 2, 2, "/t.h"),
           node(7, second)},
          {{0, 7}, {1, 7}});
    g.edges.insert(edge(stray, node(7, second)));
    // Offset 4: members are linked without being added; the shared member
    // takes the number it has in the first file's member list.
    EXPECT_EQ(second->members[0].id, 10);
    EXPECT_EQ(second->members[1].id, 1);
    EXPECT_EQ(labels(acc.nodes),
              (std::vector<std::string>{"0type:t", "3a.cpp.c", "5type:u", "11b.cpp.c"}));
    EXPECT_EQ(arcs(acc.edges), (arc_list{{0, 3}, {0, 11}, {5, 11}}));

    // An edge with an end that has no new number is dropped, not attached to
    // node 0.
    graph::accumulated_graph before = acc;
    g.nodes = {unit(0, "type:v", false, 3, 3, "/t.h")};
    g.edges = {edge(stray, *g.nodes.begin()), edge(*g.nodes.begin(), stray)};
    g.merge_file_graph(acc);
    EXPECT_EQ(arcs(acc.edges), arcs(before.edges));
}

namespace {
// The plain description of link_node: scan the accumulated nodes in number
// order, and the member lists of implementation files in list order.
bool in_own_source(const ProgramUnit& u) {
    return u.file_name.size() > 6 && u.file_name.substr(u.file_name.size() - 6) == ".cpp.c";
}

bool plain_match(const ProgramUnit& m, const ProgramUnit& n) {
    if (m.is_define() != n.is_define()) return false;
    const bool same_place_needed = n.is_define() || in_own_source(n) || in_own_source(m);
    const std::string& m_file = n.is_define() ? m.start_file : m.file_name;
    const std::string& n_file = n.is_define() ? n.start_file : n.file_name;
    if (m.name == n.name && !anonymous_name(n.name) && (!same_place_needed || m_file == n_file))
        return true;
    if (m.name.find("type:") != std::string::npos && n.name.find("type:") != std::string::npos)
        return false;
    if (!anonymous_name(m.name) && !anonymous_name(n.name)) return false;
    return m.begin > 0 && m.end > 0 && m.begin == n.begin && m.end == n.end &&
           m.file_name == n.file_name;
}

int plain_link(int offset, node n, node_set& acc, std::map<int, int>& new_id_of, bool add) {
    const ProgramUnit* u = as_unit(n);
    if (u && !acc.empty())
        for (const node& m : acc) {
            if (const ProgramUnit* mu = as_unit(m)) {
                if (plain_match(*mu, *u)) return new_id_of[n.id] = m.id;
            } else if (const Implement* f = as_implement(m)) {
                for (const node& member : f->members)
                    if (as_unit(member) && plain_match(*as_unit(member), *u))
                        return new_id_of[n.id] = member.id;
            }
        }
    new_id_of[n.id] = n.id + offset;
    if (add) {
        node renumbered = n;
        renumbered.id = n.id + offset;
        acc.insert(renumbered);
    }
    return n.id + offset;
}

struct unit_spec {
    std::string name;
    bool define;
    int begin, end;
    std::string file;
};

// A unit written in `s.file`, which is also its file.
node spec_unit(int id, const unit_spec& s) {
    node n = unit(id, s.name, s.define, s.begin, s.end, s.file);
    as_unit(n)->start_file = s.file;
    return n;
}

// One random per-file graph, built afresh (new objects) on every call.
std::vector<node> build(const std::vector<unit_spec>& specs, int members) {
    std::vector<node> result;
    for (std::size_t i = members; i < specs.size(); ++i)
        result.push_back(spec_unit(static_cast<int>(i), specs[i]));
    if (members > 0) {
        auto* file = make_node<Implement>("x.cpp.c");
        for (int i = 0; i < members; ++i)
            file->members.push_back(spec_unit(i, specs[i]));
        result.push_back(node(static_cast<int>(specs.size()), file));
    }
    return result;
}
} // namespace

TEST(Merging, IndexedMatchingEqualsPlainScanOnRandomFiles) {
    const char* pool[] = {"func:a", "func:b", "var:x",  "struct:12", "struct:s",
                          "type:5", "type:t", "enum:9", "union:u",   "type:6"};
    std::mt19937 random(99);
    for (int round = 0; round < 40; ++round) {
        graph g;
        graph::accumulated_graph acc;
        node_set plain_acc;
        for (int file = 0; file < 6; ++file) {
            std::vector<unit_spec> specs;
            const int count = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < count; ++i)
                specs.push_back({pool[random() % 10], random() % 2 == 0,
                                 static_cast<int>(random() % 3), static_cast<int>(random() % 3),
                                 random() % 3 == 0   ? "/f1"
                                 : random() % 2 == 0 ? "/f2"
                                                     : "/f3.cpp.c"});
            const int members = static_cast<int>(random() % 3) % count;

            // Indexed merge.
            g.nodes.clear();
            g.edges.clear();
            for (const node& n : build(specs, members))
                g.nodes.insert(n);
            g.merge_file_graph(acc);

            // Plain merge on separate objects.
            std::map<int, int> plain_ids;
            node_set file_nodes;
            for (const node& n : build(specs, members))
                file_nodes.insert(n);
            if (plain_acc.empty()) {
                plain_acc = file_nodes;
            } else {
                const int offset = plain_acc.rbegin()->id + 1;
                for (const node& n : file_nodes) {
                    if (n.is_program_unit()) {
                        plain_link(offset, n, plain_acc, plain_ids, true);
                    } else if (Implement* f = as_implement(n)) {
                        for (node& u : f->members)
                            u.id = plain_link(offset, u, plain_acc, plain_ids, false);
                        plain_link(offset, n, plain_acc, plain_ids, true);
                    }
                }
                ASSERT_EQ(g.new_id_of, plain_ids) << "round " << round << " file " << file;
            }
            ASSERT_EQ(ids(acc.nodes), ids(plain_acc));
        }
    }
}

TEST(Merging, ReduceOnlyKeepsTheLastFileAlone) {
    clean_options options;
    temp_dir dir;
    const std::string a = dir.write("a.c", "");
    graph::user_modules = {dir.path()};
    const std::string one = dir.write("one.rsf", "0 func:f " + a + ":1.1:2.1\n");
    const std::string two =
        dir.write("two.rsf", "0 func:g " + a + ":3.1:4.1\n0 func:h " + a + ":5.1:6.1\n");
    graph g;
    g.reduce_only = true;
    g.read_graphs({one, two});
    EXPECT_EQ(labels(g.nodes), (std::vector<std::string>{"0func:g", "1func:h"}));

    graph merged;
    merged.read_graphs({one, two});
    EXPECT_EQ(labels(merged.nodes), (std::vector<std::string>{"0func:f", "1func:g", "2func:h"}));
}

TEST(Merging, TextOfAUnitFirstMetOnlyByName) {
    graph g;
    graph::accumulated_graph acc;
    // The first file only mentions the structure (made on demand, no text);
    // the second defines it; a third has another text, which does not win.
    merge(g, acc, {unit(0, "struct:jmp", false), unit(1, "func:a", true, 1, 2, "/a.c")}, {{0, 1}},
          {{1, "int a;"}});
    merge(g, acc,
          {unit(0, "struct:jmp", false, 4, 8, "/b.c"), unit(1, "func:b", true, 9, 9, "/b.c")},
          {{0, 1}}, {{0, "struct jmp { int x; };\n"}, {1, "int b;"}});
    merge(g, acc, {unit(0, "struct:jmp", false, 4, 8, "/c.c")}, {}, {{0, "struct jmp;\n"}});
    EXPECT_EQ(g.new_id_of.at(0), 0);
    EXPECT_EQ(acc.unit_texts.at(0), "struct jmp { int x; };\n");
    EXPECT_EQ(acc.unit_texts.at(3), "int b;");
}

// A type written in a source's own text (its file is the preprocessed source)
// is that source's: a unit of another file that only names it, or another
// source's type of the same tag, stays apart; a header's type is still one
// unit everywhere.
TEST(Merging, TypesOfASourceStayItsOwn) {
    graph g;
    graph::accumulated_graph acc;
    merge(g, acc,
          {unit(0, "struct:lj", false, 2, 2, "/p/ldo.cpp.c"),
           unit(1, "func:run", true, 4, 9, "/p/ldo.cpp.c"),
           unit(2, "type:state_T", false, 3, 3, "/p/state.h")},
          {{0, 1}, {2, 1}}, {{0, "struct lj { int s; };\n"}});
    merge(g, acc,
          {unit(0, "struct:lj", false), unit(1, "func:main", true, 5, 9, "/p/main.cpp.c"),
           unit(2, "type:state_T", false, 3, 3, "/p/state.h"),
           unit(3, "struct:node", false, 3, 3, "/p/main.cpp.c")},
          {{0, 2}, {2, 1}, {3, 1}}, {{3, "struct node { double d; };\n"}});
    merge(g, acc,
          {unit(0, "struct:node", false, 3, 3, "/p/ldo.cpp.c"),
           unit(1, "func:f", true, 4, 4, "/p/ldo.cpp.c")},
          {{0, 1}}, {{0, "struct node { int v; };\n"}});
    EXPECT_EQ(labels(acc.nodes),
              (std::vector<std::string>{"0struct:lj", "1func:run", "2type:state_T", "3struct:lj",
                                        "4func:main", "6struct:node", "7struct:node", "8func:f"}));
    EXPECT_EQ(acc.unit_texts.at(0), "struct lj { int s; };\n");
    EXPECT_EQ(acc.unit_texts.at(3), "");
    EXPECT_EQ(acc.unit_texts.at(6), "struct node { double d; };\n");
    EXPECT_EQ(acc.unit_texts.at(7), "struct node { int v; };\n");
}
