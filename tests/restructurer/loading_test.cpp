// Reading fact files: the line loop, the three line readers, and the loading
// sequence of read_graphs.
#include "contract/unit_files.h"
#include "header/graph.h"
#include "loading/fact_numbers.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {
std::vector<std::string> names(const graph& g) {
    std::vector<std::string> result;
    for (const node& n : g.nodes)
        result.push_back(std::to_string(n.id) + n.object->name + (n.is_define() ? "+" : "-"));
    return result;
}

std::string resolved(const std::string& path) {
    char out[4096];
    return realpath(path.c_str(), out) ? out : "";
}

struct fact_dir : temp_dir {
    clean_options options;
    fact_dir() {
        write("a.c", "");
        write("b.c", "");
        write("inc/h.h", "");
        write("sys/s.h", "");
        graph::include_dirs = {path() + "/inc", path() + "/sys"};
        graph::user_modules = {path() + "/inc", path() + "/a.c", path() + "/b.c"};
    }
    std::string a() const { return path() + "/a.c"; }
    std::string b() const { return path() + "/b.c"; }
};
} // namespace

TEST(Loading, LineLoopCommentsEndMarkLongLinesAndBadLines) {
    fact_dir dir;
    const std::string long_name = "type:" + std::string(5000, 'x');
    const std::string file = dir.write("u.rsf", "# 0 func:f " + dir.a() +
                                                    ":1.1:2.1\n"
                                                    "1 " +
                                                    long_name + " " + dir.a() +
                                                    ":1.1:1.2\n"
                                                    "not a fact\n"
                                                    "7\n"
                                                    "9 type:a type:b\n"
                                                    "-3 file:a file:b\n"
                                                    "1\ttype:tabbed\t" +
                                                    dir.a() +
                                                    ":3.1:3.9 trailing words\n"
                                                    "\n"
                                                    "1 type:after_the_end " +
                                                    dir.a() + ":1.1:1.2\n");
    graph g;
    captured_stdout out;
    g.read_fact_file(file);
    EXPECT_EQ(names(g), (std::vector<std::string>{"0" + long_name + "-", "1type:tabbed-"}));
    EXPECT_EQ(out.text(), "Warning: file " + file +
                              " line 3: not a fact, skipped\n"
                              "Warning: file " +
                              file +
                              " line 4: not a fact, skipped\n"
                              "Warning: file " +
                              file +
                              " line 5: unknown fact kind 9, skipped\n"
                              "Warning: file " +
                              file + " line 6: unknown fact kind -3, skipped\n");

    graph missing;
    missing.read_fact_file(dir.path() + "/missing.rsf");
    EXPECT_TRUE(missing.nodes.empty());
}

TEST(Loading, DefinitionsDeclarationsAndLocations) {
    fact_dir dir;
    graph g;
    g.parse_node(0, "func:f", dir.a() + ":1.1:9.1");
    g.parse_node(0, "func:f", dir.a() + ":4.1:12.7");
    g.parse_node(1, "func:f", dir.a() + ":1.1:1.20");
    g.parse_node(0, "struct:s", dir.a() + ":3.1:7.2");
    g.parse_node(0, "func:g:static:unit", dir.a() + ":10.1:12.1");
    ASSERT_EQ(names(g), (std::vector<std::string>{"0func:f+", "1func:f-", "2struct:s+",
                                                  "3func:g:static:unit+"}));
    const ProgramUnit* f = as_unit(*g.nodes.begin());
    EXPECT_EQ(f->begin, 4); // located by the second line
    EXPECT_EQ(f->end, 12);
    EXPECT_TRUE(f->func_define);
    EXPECT_FALSE(as_unit(*std::next(g.nodes.begin()))->func_define);
    const ProgramUnit* s = as_unit(*g.nodes.find(node(2, nullptr)));
    EXPECT_TRUE(s->aggr);
    EXPECT_FALSE(s->static_unit);
    const ProgramUnit* st = as_unit(*g.nodes.find(node(3, nullptr)));
    EXPECT_TRUE(st->static_unit && st->func_define);
    EXPECT_EQ(st->begin, 10);
    EXPECT_EQ(st->end, 12);

    // A context file on a definition in a user file names the unit's file.
    g.parse_node(0, "var:v", dir.path() + "/inc/h.h:5.1:20.1:" + dir.b());
    const ProgramUnit* v = as_unit(*g.nodes.rbegin());
    EXPECT_EQ(v->start_file, resolved(dir.path() + "/inc/h.h"));
    EXPECT_EQ(v->file_name, resolved(dir.b()));
    EXPECT_EQ(v->begin, 5);
    EXPECT_EQ(v->end, 20);
    // On a declaration, or in a system file, the context is part of the end.
    g.parse_node(1, "var:w", dir.path() + "/inc/h.h:5.1:20.1:" + dir.b());
    g.parse_node(0, "var:x", dir.path() + "/sys/s.h:6.1:21.1:" + dir.b());
    for (const char* name : {"var:w", "var:x"}) {
        auto it = std::find_if(g.nodes.begin(), g.nodes.end(),
                               [&](const node& n) { return n.object->name == name; });
        const ProgramUnit* u = as_unit(*it);
        EXPECT_EQ(u->file_name, u->start_file) << name;
        EXPECT_GE(u->end, 20) << name;
    }

    // A variable defined twice (a tentative definition, then the one with its
    // initializer) keeps both places; the same place given again is one unit.
    graph t;
    t.parse_node(0, "var:dir", dir.a() + ":3.1:3.10");
    t.parse_node(0, "var:dir", dir.a() + ":5.1:5.14");
    t.parse_node(0, "var:dir", dir.a() + ":5.1:5.14");
    t.parse_edge(1, "func:get", "var:dir");
    ASSERT_EQ(names(t), (std::vector<std::string>{"0var:dir+", "1var:dir+"}));
    EXPECT_EQ(as_unit(*t.nodes.begin())->begin, 3);
    EXPECT_EQ(as_unit(*t.nodes.rbegin())->begin, 5);

    // An unresolvable file is reported and named by its absolute path.
    captured_stdout out;
    g.parse_node(1, "type:lost", "gone.h:1.1:2.1");
    EXPECT_EQ(out.text(), "Warning: file gone.h does not exist!\n");
    EXPECT_EQ(as_unit(*g.nodes.rbegin())->file_name, current_dir() + "/gone.h");

    // A definition under a name that names no file (a generator's #line) is
    // the unit's own: its file is the context; relative names are those of
    // the compile directory.
    g.compile_dir = dir.path();
    g.parse_node(0, "func:gen", "sub/gen.y:1.1:1.40:" + dir.a());
    const ProgramUnit* gen = as_unit(*g.nodes.rbegin());
    EXPECT_EQ(gen->start_file, dir.path() + "/sub/gen.y");
    EXPECT_EQ(gen->file_name, resolved(dir.a()));
    g.remove_system_definitions();
    EXPECT_EQ(g.nodes.rbegin()->object->name, "func:gen");
}

TEST(Loading, UseFactsCreateTypeUnitsButNotFunctionsOrVariables) {
    fact_dir dir;
    graph g;
    g.parse_node(0, "func:main", dir.a() + ":1.1:5.1");
    g.parse_edge(0, "func:main", "func:printf"); // unknown function: dropped
    g.parse_edge(0, "func:main", "var:errno");   // unknown variable: dropped
    g.parse_edge(0, "func:main", "type:size_t"); // type created on demand
    g.parse_edge(0, "func:main", "type:size_t"); // the same use once more
    g.parse_edge(0, "func:other", "type:off_t"); // type created, then the line dropped
    g.parse_edge(2, "type:a", "struct:b");       // both created as declarations
    EXPECT_EQ(names(g), (std::vector<std::string>{"0func:main+", "1type:size_t-", "2type:off_t-",
                                                  "3struct:b-", "4type:a-"}));
    EXPECT_EQ(arcs(g.edges), (std::vector<std::pair<int, int>>{{1, 0}, {3, 4}}));
    EXPECT_TRUE(as_unit(*g.nodes.find(node(3, nullptr)))->aggr);

    // A used definition that only exists as a declaration is found as such.
    g.parse_node(0, "func:a", dir.a() + ":7.1:8.1");
    g.parse_node(1, "func:b", dir.a() + ":9.1:9.8");
    g.parse_edge(1, "func:a", "func:b");
    EXPECT_TRUE(g.edges.count(edge(node(6, nullptr), node(5, nullptr))) == 1);
    // A use stated for a definition that the unit only declares (an extern
    // array sized by an enumerator) goes to the declaration.
    g.parse_node(1, "var:names", dir.a() + ":10.1:10.30");
    g.parse_node(1, "enum:e", dir.a() + ":11.1:11.20");
    g.parse_edge(0, "var:names", "enum:e");
    EXPECT_TRUE(g.edges.count(edge(node(8, nullptr), node(7, nullptr))) == 1);
    EXPECT_EQ(g.nodes.size(), 9u); // no definition made up for it
    EXPECT_EQ(g.edges.size(), 4u);
}

// The unit index keeps its entries from one fact file to the next (most names
// recur) and remembers the entries it found last: neither may hand a unit of
// an earlier file, or an old number, to the next file's facts.
TEST(Loading, UnitIndexStartsAfreshForTheNextFile) {
    fact_dir dir;
    graph g;
    g.parse_node(1, "type:t", dir.a() + ":1.1:1.9");
    g.parse_node(0, "func:f", dir.a() + ":2.1:3.1");
    g.parse_edge(0, "func:f", "type:t");
    EXPECT_EQ(arcs(g.edges), (std::vector<std::pair<int, int>>{{0, 1}}));

    // The next file, as loading begins it: its units take the numbers afresh,
    // type:t now after two others.
    g.nodes.clear();
    g.edges.clear();
    g.parse_node(1, "type:u", dir.b() + ":1.1:1.9");
    g.parse_node(0, "func:f", dir.b() + ":2.1:3.1");
    g.parse_edge(0, "func:f", "type:t"); // made on demand: the old type:t is gone
    g.parse_edge(2, "type:u", "type:t");
    g.parse_edge(0, "func:f", "type:u");
    g.parse_edge(0, "func:f", "type:t"); // asked again right away: the same unit
    EXPECT_EQ(names(g), (std::vector<std::string>{"0type:u-", "1func:f+", "2type:t-"}));
    EXPECT_EQ(arcs(g.edges), (std::vector<std::pair<int, int>>{{0, 1}, {2, 0}, {2, 1}}));
}

TEST(Loading, FileAndInclusionFacts) {
    fact_dir dir;
    const std::string facts = dir.write("u.rsf", "-1 file:" + dir.a() + " file:" + dir.path() +
                                                     "/inc/h.h\n"
                                                     "-1 file:" +
                                                     dir.a() + " file:" + dir.a() +
                                                     "\n"
                                                     "-2 file:" +
                                                     dir.path() + "/inc/h.h 120:0\n");
    graph without;
    without.read_fact_file(facts);
    EXPECT_TRUE(without.file_node_by_name.empty());
    EXPECT_FALSE(without.file_facts_seen);

    graph g;
    g.with_inclusions = true;
    g.read_fact_file(facts);
    ASSERT_EQ(g.file_node_by_name.size(), 2u);
    const node a = g.file_node_by_name.at("file:" + resolved(dir.a()));
    const node h = g.file_node_by_name.at("file:" + resolved(dir.path() + "/inc/h.h"));
    EXPECT_EQ(a.id, 1);
    EXPECT_EQ(h.id, 2);
    EXPECT_EQ(ids(as_header(a)->members), (std::vector<int>{2})); // no self-inclusion
    EXPECT_EQ(as_header(h)->units_before, 120);
    EXPECT_EQ(as_header(h)->units_after, 0);
    EXPECT_TRUE(g.file_facts_seen);
    EXPECT_EQ(g.included_files.size(), 2u);
    EXPECT_TRUE(g.nodes.empty());
}

TEST(Loading, FactFileNamesItsPreprocessedSourceAndPositionsTheirLine) {
    EXPECT_EQ(preprocessed_source_of_facts("out/unit.rsf"), "out/unit.cpp.c");
    EXPECT_EQ(preprocessed_source_of_facts("a.dir/unit"), "a.cpp.c");
    EXPECT_EQ(preprocessed_source_of_facts("unit"), "unit.cpp.c");
    EXPECT_EQ(line_of("12.5"), 12);
    EXPECT_EQ(line_of("1.2.3"), 1); // the integer before the last "."
    EXPECT_EQ(line_of("20"), 20);
}

TEST(Loading, ReadGraphsAnnouncesEachStepAndKeepsFileFactsSeen) {
    fact_dir dir;
    const std::string one = dir.write("one.rsf", "0 func:f " + dir.a() +
                                                     ":1.1:2.1\n"
                                                     "-2 file:" +
                                                     dir.a() + " 3:0\n");
    const std::string two = dir.write("two.rsf", "0 func:g " + dir.b() + ":1.1:2.1\n");
    switches on{"progress"};
    graph g;
    g.with_inclusions = true;
    captured_stdout out;
    g.read_graphs({one, dir.path() + "/missing.rsf", two});
    EXPECT_EQ(out.text(), "progress:loading graphs ... \n"
                          "progress:" +
                              one +
                              "\n"
                              "progress:system definitions removed.\n"
                              "progress:unused declarations removed.\n"
                              "progress:cycle edges removed.\n"
                              "progress:" +
                              dir.path() +
                              "/missing.rsf\n"
                              "progress:system definitions removed.\n"
                              "progress:unused declarations removed.\n"
                              "progress:cycle edges removed.\n"
                              "progress:" +
                              two +
                              "\n"
                              "progress:system definitions removed.\n"
                              "progress:unused declarations removed.\n"
                              "progress:cycle edges removed.\n"
                              "progress:... graphs loaded.\n");
    EXPECT_TRUE(g.file_facts_seen);
    EXPECT_EQ(names(g), (std::vector<std::string>{"0func:f+", "1func:g+"}));
}
