// Program-unit text extraction from preprocessed sources: blocks across line
// markers, prefixes, function ends, merging of units read in one statement,
// forward declarations, the implementation-file node, the reduced copy and
// the progress dots.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace test_support;

namespace {
std::string resolved(const std::string& path) {
    char buf[4096];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// A unit located in `file`, inserted into g.
node located(graph& g, int id, const std::string& name, bool definition, int begin, int end,
             const std::string& file) {
    node n = unit(id, name, definition, begin, end, file);
    ProgramUnit* u = as_unit(n);
    u->start_file = file;
    u->func_define = definition && name.compare(0, 5, "func:") == 0;
    u->aggr = name.compare(0, 7, "struct:") == 0 || name.compare(0, 6, "union:") == 0;
    u->static_unit = name.find(":static:") != std::string::npos;
    g.nodes.insert(n);
    return n;
}

std::string read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct source_tree {
    temp_dir dir;
    std::string a, h;
    source_tree() {
        dir.write("a.c", "");
        dir.write("h.h", "");
        dir.mkdir("sub");
        a = resolved(dir.path() + "/a.c");
        h = resolved(dir.path() + "/h.h");
    }
};
} // namespace

TEST(Extraction, BlocksPrefixesFunctionEndsAndTheImplementationFile) {
    source_tree t;
    // The facts name the preprocessed copy a.cpp.c for definitions, as the
    // extractor writes them; the line markers name a.c.
    const std::string unit_file = t.dir.write("a.cpp.c", "");
    graph g;
    node counter = located(g, 0, "var:counter", true, 2, 2, resolved(unit_file));
    node f = located(g, 1, "func:f", true, 3, 6, resolved(unit_file));
    node type = located(g, 2, "type:t", false, 1, 1, t.h);
    g.edges = {edge(type, f), edge(counter, f)};
    t.dir.write("inc.h", "");
    // A marker naming h.h by a path that resolves to it; inc.h holds no unit
    // but is included inside the function.
    t.dir.write("a.cpp.c", "# 1 \"" + t.dir.path() +
                               "/sub/../h.h\"\n"
                               "typedef int t;\n"
                               "# 1 \"" +
                               t.dir.path() +
                               "/a.c\"\n"
                               "int\n"
                               "counter;\n"
                               "int f(void)\n"
                               "{ int x;\n"
                               "# 1 \"" +
                               t.dir.path() +
                               "/inc.h\" 1\n"
                               "  x = 1;\n"
                               "# 5 \"" +
                               t.dir.path() +
                               "/a.c\" 2\n"
                               "  x++;\n"
                               "  return x; }\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(unit_file);

    EXPECT_EQ(out.text(), "SIZE NODE : 3\n");
    // The line "int" ends no statement: it is the prefix of the next unit.
    EXPECT_EQ(g.unit_texts.at(0), "int counter;\n");
    // The function ends at the "}", not at the first ";"; the lines of the
    // file included inside it stay in its text.
    EXPECT_EQ(g.unit_texts.at(1), "int f(void)\n{ int x;\n  x = 1;\n  x++;\n  return x; }\n");
    EXPECT_EQ(g.unit_texts.at(2), "typedef int t;\n");
    EXPECT_EQ(as_unit(counter)->new_begin, 5);
    EXPECT_EQ(as_unit(f)->new_begin, 6);
    EXPECT_EQ(as_unit(f)->new_end, 12);

    // The definitions became one implementation file numbered past the units;
    // the declaration they use now points to it, the edge between them went.
    ASSERT_EQ(ids(g.nodes), (std::vector<int>{2, 3}));
    const node file = *g.nodes.rbegin();
    ASSERT_TRUE(file.is_implement());
    EXPECT_EQ(file.object->name, unit_file);
    EXPECT_EQ(ids(as_implement(file)->members), (std::vector<int>{0, 1}));
    std::vector<std::pair<int, int>> arcs;
    for (const edge& e : g.edges)
        arcs.emplace_back(e.from.id, e.to.id);
    EXPECT_EQ(arcs, (std::vector<std::pair<int, int>>{{2, 3}}));
    // The unit-level edges were kept for ordering before the folding.
    EXPECT_EQ(g.file_edges, (edge_set{edge(type, f), edge(counter, f)}));
}

TEST(Extraction, PragmaLinesCountAsSourceLines) {
    // csmith's packed structures: the pragma lines before a structure are lines
    // of the source, so the structure starts on line 3, not on line 1. Between
    // units they are not written; inside one they stay.
    source_tree t;
    const std::string unit_file = t.dir.write("a.cpp.c", "");
    graph g;
    node s = located(g, 0, "struct:S1", false, 3, 6, resolved(unit_file));
    node v = located(g, 1, "func:f", true, 8, 11, resolved(unit_file));
    g.edges = {edge(s, v)};
    t.dir.write("a.cpp.c", "# 1 \"" + t.dir.path() +
                               "/a.c\"\n"
                               "#pragma pack(push)\n"
                               "#pragma pack(1)\n"
                               "struct S1 {\n"
                               "   unsigned f0 : 25;\n"
                               "   short f1;\n"
                               "};\n"
                               "#pragma pack(pop)\n"
                               "int f(void) {\n"
                               "#pragma GCC unroll 2\n"
                               "  return sizeof(struct S1);\n"
                               "}\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(unit_file);
    EXPECT_EQ(g.unit_texts.at(0), "struct S1 {\n   unsigned f0 : 25;\n   short f1;\n};\n");
    EXPECT_EQ(g.unit_texts.at(1),
              "int f(void) {\n#pragma GCC unroll 2\n  return sizeof(struct S1);\n}\n");
}

TEST(Extraction, SystemMacroExpansionsStayOnTheirLine) {
    // `cc -E` writes NULL's expansion between two markers naming the line it
    // is on; the text keeps it on that line, so that the rewritten source has
    // the original's lines (and is counted as its `cc -E -P` text is). A
    // marker repeating the number of a blank line joins nothing to it.
    source_tree t;
    const std::string unit_file = t.dir.write("a.cpp.c", "");
    graph g;
    node e = located(g, 0, "enum:e", false, 2, 2, resolved(unit_file));
    node f = located(g, 1, "func:f", true, 3, 6, resolved(unit_file));
    g.edges = {edge(e, f)};
    const std::string a = "\"" + t.dir.path() + "/a.c\"";
    t.dir.write("a.cpp.c", "# 2 " + a + "\n" +
                               "\n"
                               "# 2 " + a + "\n" +
                               "enum e { E };\n"
                               "int f(int *p) {\n"
                               "  if (p == \n"
                               "# 4 " + a + " 3 4\n" +
                               "           ((void *)0)\n"
                               "# 4 " + a + "\n" +
                               "               ) return E;\n"
                               // A _Pragma's lines stand between markers of one
                               // line too, but the system flag stays: no join.
                               "# 5 " + a + "\n" +
                               "#pragma GCC diagnostic push\n"
                               "# 5 " + a + "\n" +
                               "#pragma GCC diagnostic pop\n"
                               "# 5 " + a + "\n" +
                               "  return 1;\n"
                               "}\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(unit_file);
    EXPECT_EQ(g.unit_texts.at(0), "\nenum e { E };\n");
    EXPECT_EQ(g.unit_texts.at(1), "int f(int *p) {\n  if (p == ((void *)0) ) return E;\n"
                                  "#pragma GCC diagnostic push\n#pragma GCC diagnostic pop\n"
                                  "  return 1;\n}\n");
}

TEST(Extraction, SystemMacroExpansionsRejoinTheirLine) {
    // `return NULL;` and `if (p == NULL || ...)`: the preprocessor puts the
    // expansion of a system header's macro, and the rest of the line, on lines
    // of their own between markers that only flip the system flag. The text
    // keeps the source's lines (as `cc -E -P` does); entering a header, or a
    // marker that names another file, still starts a line of its own.
    source_tree t;
    const std::string unit_file = t.dir.write("a.cpp.c", "");
    graph g;
    located(g, 0, "func:f", true, 2, 5, resolved(unit_file));
    located(g, 1, "var:v", true, 6, 6, resolved(unit_file));
    const std::string a = "\"" + t.dir.path() + "/a.c\"";
    const std::string h = "\"" + t.dir.path() + "/h.h\"";
    t.dir.write("a.cpp.c", "# 1 " + a +
                               "\n\n"
                               "int *f(int *p) {\n"
                               "  if (p == \n# 3 " +
                               a +
                               " 3 4\n"
                               "           ((void *)0)\n# 3 " +
                               a +
                               "\n"
                               "               || *p) return p;\n"
                               "# 1 " +
                               h +
                               " 1 3 4\n"
                               "  p++;\n"
                               "# 5 " +
                               a +
                               " 2\n"
                               "  return \n# 5 " +
                               a +
                               " 3 4\n"
                               "          ((void *)0)\n# 5 " +
                               a +
                               "\n"
                               "              ; }\n"
                               "int *v = \n# 6 " +
                               a + " 3 4\n((void *)0)\n# 6 " + a + "\n;\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(unit_file);
    EXPECT_EQ(g.unit_texts.at(0), "int *f(int *p) {\n  if (p == ((void *)0) || *p) return p;\n"
                                  "  p++;\n  return ((void *)0) ; }\n");
    EXPECT_EQ(g.unit_texts.at(1), "int *v = ((void *)0) ;\n");
}

TEST(Extraction, UnitsOfOneStatementAreMerged) {
    source_tree t;
    graph g;
    node user = located(g, 0, "func:use", true, 9, 9, t.a);
    node a = located(g, 1, "var:x#2", false, 2, 2, t.h);
    node b = located(g, 2, "var:y:static:" + t.h + "#2", false, 2, 2, t.h);
    node other = located(g, 3, "var:z#3", false, 2, 2, t.h); // another counter: left alone
    g.edges = {edge(b, user), edge(a, user), edge(other, user)};
    const std::string source = t.dir.write("h.cpp.c", "# 1 \"" + t.h +
                                                          "\"\n"
                                                          "\n"
                                                          "extern int x, y, z;\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(source);
    EXPECT_EQ(g.unit_texts.at(1), "extern int x, y, z;\n");
    EXPECT_FALSE(g.unit_texts.count(2));
    EXPECT_FALSE(g.nodes.count(b));
    EXPECT_TRUE(g.nodes.count(other));
    // The head takes the merged unit's static name part, not its flag.
    EXPECT_EQ(a.object->name, "var:x:static:" + t.h + "#2");
    EXPECT_FALSE(a.is_static());
    std::vector<std::pair<int, int>> arcs;
    for (const edge& e : g.edges)
        arcs.emplace_back(e.from.id, e.to.id);
    EXPECT_EQ(arcs, (std::vector<std::pair<int, int>>{{1, 0}, {3, 0}}));
}

// `typedef struct S {...} T, *TP;` of a header: the typedefs are one unit
// whose text declares the tag only and which needs nothing; the structure keeps
// the whole statement and what its members need. With an unnamed structure
// the statement stays one unit.
TEST(Extraction, TypedefStatementOfAHeaderIsReadAsTwoUnits) {
    source_tree t;
    graph g;
    node size = located(g, 0, "type:size_t", false, 1, 1, t.h);
    node s = located(g, 1, "struct:S", false, 3, 5, t.h);
    node type = located(g, 2, "type:T", false, 2, 5, t.h);
    node pointer = located(g, 3, "type:TP", false, 2, 5, t.h);
    node user = located(g, 4, "func:f", true, 8, 8, t.a);
    node anonymous = located(g, 5, "struct:0000042", false, 6, 6, t.h);
    node plain = located(g, 6, "type:P", false, 6, 6, t.h);
    g.edges = {edge(size, s), edge(size, type),    edge(s, type),          edge(type, user),
               edge(s, user), edge(pointer, user), edge(anonymous, plain), edge(plain, user)};
    const std::string source = t.dir.write("x.cpp.c", "# 1 \"" + t.h +
                                                          "\"\n"
                                                          "typedef unsigned long size_t;\n"
                                                          "typedef\n"
                                                          "struct S {\n"
                                                          "  size_t n;\n"
                                                          "} T, *TP;\n"
                                                          "typedef struct { int a; } P;\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(source);
    EXPECT_EQ(g.unit_texts.at(1), "typedef\nstruct S {\n  size_t n;\n} T, *TP;\n");
    EXPECT_EQ(g.unit_texts.at(2), "typedef struct S T, *TP;\n");
    EXPECT_FALSE(g.nodes.count(pointer));
    EXPECT_TRUE(g.nodes.count(s));
    EXPECT_EQ(g.unit_texts.at(6), "typedef struct { int a; } P;\n");
    EXPECT_FALSE(g.nodes.count(anonymous));
    // The typedefs need nothing; the structure needs size_t.
    for (const edge& e : g.edges)
        EXPECT_NE(e.to, type) << e.from.id;
    EXPECT_TRUE(g.edges.count(edge(size, s)));
}

// Users whose edge to a structure was dropped as needing only the tag get
// its forward declaration: a prototype or definition always, a typedef or a
// structure only where it first names the tag inside parentheses.
TEST(Extraction, ForwardDeclarationsOfTagOnlyUses) {
    source_tree t;
    graph g;
    node s = located(g, 0, "struct:s", false, 1, 1, t.h);
    node proto = located(g, 1, "func:g", false, 2, 2, t.h);
    node fn = located(g, 2, "type:fn", false, 3, 3, t.h);
    node alias = located(g, 3, "type:s_t", false, 4, 4, t.h);
    node holder = located(g, 4, "struct:holder", false, 5, 5, t.h);
    node def = located(g, 5, "func:h", true, 7, 7, t.a);
    for (const node& user : {proto, fn, alias, holder, def})
        g.tag_only_aggregates[user.id].insert(s);
    const std::string source = t.dir.write("x.cpp.c", "# 1 \"" + t.h +
                                                          "\"\n"
                                                          "struct s { int v; };\n"
                                                          "int g(struct s *p);\n"
                                                          "typedef int (*fn)(struct s *);\n"
                                                          "typedef struct s s_t;\n"
                                                          "struct holder { struct s *p; };\n"
                                                          "# 7 \"" +
                                                          t.a +
                                                          "\"\n"
                                                          "int h(struct s *p) { return !p; }\n");
    g.reduce_only = true;
    captured_stdout out;
    g.preprocessing_program_units_in_file(source);
    EXPECT_EQ(g.unit_texts.at(1), "struct s;\nint g(struct s *p);\n");
    EXPECT_EQ(g.unit_texts.at(2), "struct s;\ntypedef int (*fn)(struct s *);\n");
    EXPECT_EQ(g.unit_texts.at(3), "typedef struct s s_t;\n");
    EXPECT_EQ(g.unit_texts.at(4), "struct holder { struct s *p; };\n");
    EXPECT_EQ(g.unit_texts.at(5), "struct s;\nint h(struct s *p) { return !p; }\n");
}

TEST(Extraction, ForwardDeclarationsKeepTheDependency) {
    source_tree t;
    graph g;
    node s = located(g, 0, "struct:s", false, 1, 1, t.h);
    node proto = located(g, 1, "func:g", false, 2, 2, t.h);
    node def = located(g, 2, "func:h", true, 4, 4, t.a);
    node unnamed = located(g, 3, "union:0001234#0", false, 0, 0, ""); // a local union
    g.edges = {edge(s, proto), edge(s, def), edge(proto, def), edge(unnamed, def)};
    const std::string source = t.dir.write("x.cpp.c", "# 1 \"" + t.h +
                                                          "\"\n"
                                                          "struct s { int v; };\n"
                                                          "struct s *g(void);\n"
                                                          "# 4 \"" +
                                                          t.a +
                                                          "\"\n"
                                                          "int h(void) { return g()->v; }\n");
    g.reduce_only = true; // keep the units apart to look at their edges
    g.generate_facts = true;
    captured_stdout out;
    g.preprocessing_program_units_in_file(source);
    // The prototype gets the forward declaration; the definition, before
    // which all it needs is written, and an unnamed union get none.
    EXPECT_EQ(g.unit_texts.at(1), "struct s;\nstruct s *g(void);\n");
    EXPECT_EQ(g.unit_texts.at(2), "int h(void) { return g()->v; }\n");
    // h needs the complete structure through g's result without naming it:
    // the dependency through the prototype stays.
    EXPECT_TRUE(g.edges.count(edge(s, proto)));
    EXPECT_TRUE(g.edges.count(edge(s, def)));

    // The reduced copy: each collected unit behind its line marker; the
    // structure written first declares the tag, so no forward declaration
    // is repeated after it.
    EXPECT_EQ(read(t.dir.path() + "/x.cpp.new.c"), "# 1 \"" + t.h +
                                                       "\"\nstruct s { int v; };\n"
                                                       "# 2 \"" +
                                                       t.h +
                                                       "\"\nstruct s *g(void);\n"
                                                       "# 4 \"" +
                                                       t.a +
                                                       "\"\nint h(void) { return g()->v; }\n");
    // "-g": the unit's facts as they stand now, in the loader's format.
    EXPECT_EQ(read(t.dir.path() + "/x.rsf"), "0 func:h " + t.a +
                                                 ":4.1:4.1\n"
                                                 "1 struct:s " +
                                                 t.h +
                                                 ":1.1:1.1\n"
                                                 "1 func:g " +
                                                 t.h +
                                                 ":2.1:2.1\n"
                                                 "2 func:h struct:s\n"
                                                 "2 func:h func:g\n"
                                                 "2 func:h union:0001234#0\n"
                                                 "4 func:g struct:s\n");
}

TEST(Extraction, HeaderEnteredForAnotherSection) {
    // A header entered first for a later section only (as stddef.h is for
    // size_t alone) and then whole: the unit of the skipped section must
    // neither end at the later line nor be merged with its unit.
    source_tree t;
    graph g;
    node user = located(g, 0, "func:main", true, 9, 9, t.a);
    node early = located(g, 1, "type:ptrdiff_t#7", false, 3, 3, t.h);
    node late = located(g, 2, "type:size_t#7", false, 8, 8, t.h);
    g.edges = {edge(early, user), edge(late, user)};
    const std::string source = t.dir.write("y.cpp.c", "# 8 \"" + t.h +
                                                          "\"\n"
                                                          "typedef unsigned long size_t;\n"
                                                          "# 3 \"" +
                                                          t.h +
                                                          "\"\n"
                                                          "typedef long ptrdiff_t;\n"
                                                          "int filler;\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(source);
    EXPECT_EQ(g.unit_texts.at(2), "typedef unsigned long size_t;\n");
    EXPECT_EQ(g.unit_texts.at(1), "typedef long ptrdiff_t;\n");
    EXPECT_TRUE(g.nodes.count(early) && g.nodes.count(late));
}

TEST(Extraction, ProgressDotsAndMissingSources) {
    temp_dir dir;
    const std::string source = dir.write("big.cpp.c", std::string(2500, '\n'));
    graph g;
    std::ostringstream err;
    std::streambuf* saved = std::cerr.rdbuf(err.rdbuf());
    {
        captured_stdout out;
        g.preprocessing_program_units_in_file(source);
        g.preprocessing_program_units_in_file(dir.path() + "/missing.cpp.c");
        EXPECT_EQ(out.text(), "SIZE NODE : 0\n"); // nothing at all for the missing one
    }
    std::cerr.rdbuf(saved);
    EXPECT_EQ(err.str(), "..");
}

// Code under a #line name relative to the compile directory (bison's output)
// is found where its facts place it; a unit whose text is found nowhere is
// named with its place and the preprocessed source, never dropped silently.
TEST(Extraction, RelativeLineNamesAndLostTexts) {
    source_tree t;
    const std::string unit_file = resolved(t.dir.write("sub/gen.cpp.c", ""));
    const std::string top = resolved(t.dir.path());
    graph g;
    g.compile_dir = top;
    node helper = located(g, 0, "func:helper", true, 1, 1, unit_file);
    node gen = located(g, 1, "func:gen", true, 1, 1, top + "/sub/gen.y");
    node lost = located(g, 2, "func:lost", true, 7, 7, top + "/sub/gen.y");
    t.dir.write("sub/gen.cpp.c", "# 0 \"sub/gen.c\"\n"
                                 "# 1 \"" +
                                     top +
                                     "//\"\n"
                                     "# 1 \"sub/gen.c\"\n"
                                     "int helper(void) { return 1; }\n"
                                     "# 1 \"sub/gen.y\"\n"
                                     "int gen(void) { return 41 + helper(); }\n");
    captured_stdout out;
    g.preprocessing_program_units_in_file(unit_file);
    EXPECT_EQ(g.unit_texts.at(helper.id), "int helper(void) { return 1; }\n");
    EXPECT_EQ(g.unit_texts.at(gen.id), "int gen(void) { return 41 + helper(); }\n");
    EXPECT_FALSE(g.unit_texts.count(lost.id));
    EXPECT_NE(out.text().find(std::string(graph::lost_text_prefix) + "func:lost " + top +
                              "/sub/gen.y:7 (" + unit_file + ")\n"),
              std::string::npos);
    EXPECT_EQ(out.text().find("func:gen "), std::string::npos);
}
