// Code emission on small compressed graphs: header files with guards and
// include lines, inline expansion of headers needed by one source, the
// include reduction, the typedef rule, units written once, ordering with
// cycles, and unwritable files.
#include "header/graph.h"

#include "codegen/output_file.h"
#include "support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace test_support;

namespace {
// A located declaration or definition whose text is `text`.
node text_unit(graph& g, int id, const std::string& name, bool definition, int begin,
               const std::string& text) {
    node n = unit(id, name, definition, begin, begin, "/src/h.h");
    as_unit(n)->start_file = "/src/h.h";
    as_unit(n)->new_begin = begin;
    g.unit_texts[id] = text;
    return n;
}

node group(int id, std::vector<node> members) {
    auto* h = make_node<Header>("");
    h->members = node_set(members.begin(), members.end());
    return node(id, h);
}

node source(int id, const std::string& path, std::vector<node> members) {
    auto* f = make_node<Implement>(path);
    f->members = std::move(members);
    return node(id, f);
}

// Two modules m and n. Group 0 (types a, b) is used by both sources; group 1
// (type c) is used by group 0 and by m's source directly; group 2 (struct only)
// by m's source alone.
struct two_modules {
    graph g;
    node a, b, c, only, hidden, main_def, twice, other_def;
    node g0, g1, g2, f_m, f_n;
    two_modules() {
        a = text_unit(g, 10, "type:a", false, 1, "typedef int a;\n");
        b = text_unit(g, 11, "struct:b", false, 2, "struct b { a v; c w; };\n");
        c = text_unit(g, 12, "type:c", false, 3, "typedef long c;\n");
        only = text_unit(g, 13, "struct:only", false, 4, "struct only { int x; };\n");
        hidden = text_unit(g, 14, "type:hidden", false, 5, "struct only;\n"); // no typedef
        main_def = text_unit(g, 20, "func:main", true, 7, "int main(void) { return 0; }\n");
        twice = text_unit(g, 21, "var:v", true, 6, "int v;\n");
        other_def = text_unit(g, 22, "func:f", true, 9, "int f(void) { return 1; }\n");
        g.file_edges = {edge(a, b), edge(c, b)};
        g0 = group(0, {a, b});
        g1 = group(1, {c});
        g2 = group(2, {only, hidden});
        f_m = source(3, "m/main.cpp.c", {main_def, twice, twice});
        f_n = source(4, "n/other.cpp.c", {other_def});
        g.compressed = std::make_unique<graph>();
        g.compressed->nodes = {g0, g1, g2, f_m, f_n};
        g.compressed->edges = {edge(g0, f_m), edge(g0, f_n), edge(g1, g0), edge(g1, f_m),
                               edge(g2, f_m)};
    }
};
} // namespace

TEST(Emission, SharedGroupsBecomeHeadersAndASingleUserGetsItsTextInPlace) {
    in_temp_dir here;
    here.dir().mkdir("m");
    here.dir().mkdir("n");
    two_modules t;
    t.g.codegen();

    EXPECT_EQ(read_file("include.new/0.h"), "#ifndef HEADER_0\n#define HEADER_0\n"
                                            "#include \"1.h\"\n"
                                            "# 1 \"/src/h.h\"\ntypedef int a;\n"
                                            "# 2 \"/src/h.h\"\nstruct b { a v; c w; };\n"
                                            "#endif\n");
    EXPECT_EQ(read_file("include.new/1.h"), "#ifndef HEADER_1\n#define HEADER_1\n"
                                            "# 3 \"/src/h.h\"\ntypedef long c;\n#endif\n");
    // Group 2 serves one source: no file of its own, expanded in place; the
    // type name without its typedef adds nothing. Group 1 comes in through
    // group 0, so only 0.h is included. var:v is listed twice, written once,
    // and the definitions follow their source order.
    EXPECT_FALSE(std::ifstream("include.new/2.h").is_open());
    EXPECT_FALSE(std::ifstream("m/include.new/2.h").is_open());
    EXPECT_EQ(read_file("m/main.cpp.new.c"), "#include \"0.h\"\n"
                                             "# 4 \"/src/h.h\"\nstruct only { int x; };\n"
                                             "# 6 \"/src/h.h\"\nint v;\n"
                                             "# 7 \"/src/h.h\"\nint main(void) { return 0; }\n");
    EXPECT_EQ(read_file("n/other.cpp.new.c"),
              "#include \"0.h\"\n# 9 \"/src/h.h\"\nint f(void) { return 1; }\n");
    EXPECT_NE(read_file("Makefile.gen").find("m/main.cpp.new.c n/other.cpp.new.c"),
              std::string::npos);
}

// A graph that compresses to one source: the synthetic root gathering it
// must not take the source's name and overwrite it. A source with nothing of
// its own (a file inside #ifdef NEVER) is still written, empty but for what it
// includes.
TEST(Emission, OneNodeGraphAndEmptySource) {
    in_temp_dir here;
    graph g;
    node main_def = text_unit(g, 1, "func:main", true, 1, "int main(void) { return 0; }\n");
    node alone = source(0, "main.cpp.c", {main_def});
    g.compressed = std::make_unique<graph>();
    g.compressed->nodes = {alone};
    g.codegen();
    EXPECT_EQ(read_file("main.cpp.new.c"), "# 1 \"/src/h.h\"\nint main(void) { return 0; }\n");

    graph h;
    node decl = text_unit(h, 2, "func:feature", false, 3, "int feature(void);\n");
    node user = text_unit(h, 3, "func:main", true, 4, "int main(void) { return feature(); }\n");
    node shared = group(0, {decl});
    node with_main = source(1, "main.cpp.c", {user});
    node empty = source(2, "never.cpp.c", {});
    h.compressed = std::make_unique<graph>();
    h.compressed->nodes = {shared, with_main, empty};
    h.compressed->edges = {edge(shared, with_main)};
    h.codegen();
    EXPECT_TRUE(std::ifstream("never.cpp.new.c").is_open());
    EXPECT_EQ(read_file("never.cpp.new.c"), "");
    EXPECT_EQ(read_file("main.cpp.new.c"),
              "# 3 \"/src/h.h\"\nint feature(void);\n"
              "# 4 \"/src/h.h\"\nint main(void) { return feature(); }\n");
}

// A forward declaration is written once per file, and not once the tag is
// declared by the structure itself or by a typedef naming it; a new file
// starts afresh.
TEST(Emission, ForwardDeclarationsOncePerFile) {
    graph g;
    g.unit_texts = {{1, "struct a;\nstruct b;\nvoid f(struct a *, struct b *);\n"},
                    {2, "struct a;\nvoid g(struct a *);\n"},
                    {3, "typedef struct b b_t;\n"},
                    {4, "struct b;\nstruct c;\nvoid h(b_t *, struct c *);\n"},
                    {5, "struct c { int n; };\n"},
                    {6, "struct c;\nstruct cx;\nvoid k(struct c *, struct cx *);\n"}};
    std::vector<node> units = {unit(1, "func:f"), unit(2, "func:g"),   unit(3, "type:b_t"),
                               unit(4, "func:h"), unit(5, "struct:c"), unit(6, "func:k")};
    as_unit(units[4])->aggr = true;
    std::string text;
    for (node& u : units)
        g.S_codegen(text, u);
    EXPECT_EQ(text, "struct a;\nstruct b;\nvoid f(struct a *, struct b *);\n"
                    "void g(struct a *);\n"
                    "typedef struct b b_t;\n"
                    "struct c;\nvoid h(b_t *, struct c *);\n"
                    "struct c { int n; };\n"
                    "struct cx;\nvoid k(struct c *, struct cx *);\n");
    g.declared_tags.clear();
    g.emitted_units.clear();
    std::string again;
    g.S_codegen(again, units[1]);
    EXPECT_EQ(again, "struct a;\nvoid g(struct a *);\n");
}

TEST(Emission, TopologicalOrderingBreaksCycles) {
    graph g;
    node s1 = text_unit(g, 1, "struct:s1", false, 30, "");
    node s2 = text_unit(g, 2, "struct:s2", false, 20, "");
    node s3 = text_unit(g, 3, "struct:s3", false, 10, "");
    node s4 = text_unit(g, 4, "struct:s4", false, 15, "");
    node early = text_unit(g, 5, "type:t", false, 40, "");
    // s2 -> s3 -> s4 -> s2 is a cycle, s4 -> s1 hangs below it; t, used by s2,
    // is free. In the text s3 came first and uses s2, which came after it: s3
    // needed s2 through a pointer only and breaks the cycle; s4 and s2 hold
    // what stood before them (by value, perhaps) and follow their uses.
    const edge_set deps = {edge(s2, s3), edge(s3, s4), edge(s4, s2), edge(s4, s1), edge(early, s2)};
    EXPECT_EQ(ids(g.topological_ordering({s1, s2, s3, s4, early}, deps)),
              (std::vector<int>{5, 3, 4, 2, 1}));

    // A structure holding another by value stood after it: the one it holds
    // goes first, whatever the numbers and dependents say.
    node holder = text_unit(g, 8, "type:chanpart_T", false, 50, "");
    node held = text_unit(g, 9, "struct:jsonq_S", false, 45, "");
    node value = text_unit(g, 10, "type:typval_T", false, 60, "");
    node channel = text_unit(g, 11, "struct:channel_S", false, 55, "");
    const edge_set chain = {edge(held, holder), edge(holder, channel), edge(channel, value),
                            edge(value, held)};
    EXPECT_EQ(ids(g.topological_ordering({holder, held, value, channel}, chain)),
              (std::vector<int>{9, 8, 11, 10}));

    // Without positions, the old order: the cycle is broken at the type-like
    // unit on which most remaining nodes depend (the lowest number on a tie).
    node p1 = text_unit(g, 21, "struct:p1", false, 0, "");
    node p2 = text_unit(g, 22, "struct:p2", false, 0, "");
    node p3 = text_unit(g, 23, "struct:p3", false, 0, "");
    node p4 = text_unit(g, 24, "struct:p4", false, 0, "");
    const edge_set unplaced = {edge(p2, p3), edge(p3, p4), edge(p4, p2), edge(p4, p1)};
    EXPECT_EQ(ids(g.topological_ordering({p1, p2, p3, p4}, unplaced)),
              (std::vector<int>{22, 23, 24, 21}));

    // Functions and variables only: broken at the lowest number.
    node f = text_unit(g, 7, "func:f", false, 1, "");
    node v = text_unit(g, 6, "var:v", false, 2, "");
    EXPECT_EQ(ids(g.topological_ordering({f, v}, {edge(f, v), edge(v, f)})),
              (std::vector<int>{6, 7}));
    // Free units by source position.
    EXPECT_EQ(ids(g.topological_ordering({s1, s2, s3}, {})), (std::vector<int>{3, 2, 1}));
    // A unit free from the start still waits for one that stood before it and
    // is freed later: the structure goes before the prototype that names it
    // after it (which then needs no forward declaration), as in the text.
    node printer = text_unit(g, 31, "type:line_printer", false, 14, "");
    node style = text_unit(g, 32, "struct:report_style", false, 16, "");
    node print = text_unit(g, 33, "func:print_report", false, 21, "");
    node late = text_unit(g, 34, "func:late", false, 30, "");
    EXPECT_EQ(ids(g.topological_ordering({printer, style, print, late},
                                         {edge(printer, style), edge(print, late)})),
              (std::vector<int>{31, 32, 33, 34}));
}

TEST(Emission, UnwritableFileIsReported) {
    std::ostringstream err;
    std::streambuf* saved = std::cerr.rdbuf(err.rdbuf());
    {
        output_file out("/nonexistent-dir/x.h");
        out << "text";
    }
    std::cerr.rdbuf(saved);
    EXPECT_NE(err.str().find("/nonexistent-dir/x.h"), std::string::npos);
}

TEST(Emission, FilesAreMadeAnewNeverWrittenThroughALink) {
    temp_dir dir;
    const std::string kept = dir.write("kept.c", "the user's file\n");
    const std::string name = dir.path() + "/u.cpp.new.c";
    ASSERT_EQ(symlink(kept.c_str(), name.c_str()), 0);
    {
        output_file out(name);
        out << "rewritten\n";
    }
    EXPECT_EQ(read_file(kept), "the user's file\n");
    EXPECT_EQ(read_file(name), "rewritten\n");
    struct stat s;
    ASSERT_EQ(lstat(name.c_str(), &s), 0);
    EXPECT_TRUE(S_ISREG(s.st_mode));
}
