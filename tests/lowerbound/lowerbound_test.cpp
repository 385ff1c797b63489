// The lowerbound program on small C units, preprocessed by the real compiler:
// what it keeps of the headers, and that what it writes compiles.
#include "bound_writer.h"
#include "lower_bound_step.h"
#include "progress.h"
#include "statements.h"
#include "text_measure.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include "../driver/fresh_temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int run(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A unit "main.c" with its headers in a fresh directory; preprocesses it with
// cc -E, writes its lower bound and compiles that.
class Unit : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fresh_temp_dir(
            "lowerbound-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void file(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
    }

    // The bound of main.c; fails the test when it cannot be written or does
    // not compile with -Wall -Werror and `flags`.
    std::string bound(const std::string& extra = "", const std::string& flags = "") {
        std::string d = dir_.string();
        EXPECT_EQ(run("cd " + d + " && cc -E main.c -o main.cpp.c"), 0);
        EXPECT_EQ(run(std::string(LOWERBOUND_PROGRAM) + " " + extra + " " + flags + " " + d +
                      "/main.cpp.c > " + d + "/main.bound.c 2> " + d + "/bound.log"),
                  0)
            << read(dir_ / "bound.log");
        std::string text = read(dir_ / "main.bound.c");
        EXPECT_EQ(run("cd " + d + " && cc -Wall -Werror " + flags +
                      " -fsyntax-only main.bound.c 2> " + d + "/compile.log"),
                  0)
            << read(dir_ / "compile.log") << "\n"
            << text;
        return text;
    }

    // Lines of `cc -E -P` of a file of the unit's directory, counted as the
    // driver counts them.
    long preprocessed_lines(const std::string& name) {
        std::string d = dir_.string();
        EXPECT_EQ(run("cd " + d + " && cc -E -P " + name + " -o counted.i"), 0);
        return measure_file((dir_ / "counted.i").string()).lines;
    }

    fs::path dir_;
};

// The text with every run of white space made one blank, and none before ';'
// or ')' or after '(' (the preprocessor spaces macro expansions out).
std::string squeezed(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (isspace(static_cast<unsigned char>(c))) {
            blank = true;
            continue;
        }
        if (blank && !out.empty() && c != ';' && c != ')' && out.back() != '(') out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

bool has(const std::string& text, const std::string& part) {
    return squeezed(text).find(squeezed(part)) != std::string::npos;
}

} // namespace

TEST_F(Unit, StructUsedOnlyThroughPointersGetsItsTagAlone) {
    file("a.h", "#include <stdio.h>\n"
                "struct opaque { int hidden_field; double more; };\n"
                "typedef struct state { int state_field; struct opaque *o; } state;\n"
                "struct never_named { int never_field; };\n"
                "int takes_opaque(struct opaque *o);\n"
                "void takes_state(state *s, FILE *f);\n"
                "extern state *current;\n"
                "typedef struct packed_s { char c; int packed_field; } __attribute__((packed))\n"
                "    packed_t;\n"
                "packed_t *packed_get(void);\n");
    file("main.c", "#include \"a.h\"\n"
                   "int f(struct opaque *o, state *s) {\n"
                   "    takes_state(current, stdout);\n"
                   "    return takes_opaque(o) + (s == NULL) + (packed_get() == NULL);\n"
                   "}\n");
    std::string text = bound();
    EXPECT_FALSE(has(text, "hidden_field")) << text;
    EXPECT_FALSE(has(text, "state_field")) << text;
    EXPECT_FALSE(has(text, "never_named")) << text;
    EXPECT_TRUE(has(text, "struct opaque;")) << text;
    EXPECT_TRUE(has(text, "typedef struct state state;")) << text;
    // The attribute after the body goes with it: on the tag alone GCC would
    // ignore it with a warning.
    EXPECT_TRUE(has(text, "typedef struct packed_s packed_t;")) << text;
    EXPECT_TRUE(has(text, "takes_opaque") && has(text, "takes_state")) << text;
    // FILE is used only through a pointer: the typedef of the incomplete
    // struct _IO_FILE, not its fields.
    EXPECT_TRUE(has(text, "typedef struct _IO_FILE FILE;")) << text;
    EXPECT_FALSE(has(text, "_IO_read_ptr")) << text;
    // The header's declarations keep the file they came from.
    EXPECT_TRUE(has(text, "a.h\"")) << text;
}

TEST_F(Unit, ValueAndMemberUsesGetTheDefinitionAndWhatItNeeds) {
    file("a.h", "#include <setjmp.h>\n"
                "typedef long coordinate;\n"
                "struct point { coordinate x, y; };\n"
                "struct box { struct point corner; int area; };\n"
                "struct node { int value; struct node *next; struct box *far; };\n"
                "struct cell { int cell_field; };\n"
                "struct sized { int sized_field; };\n"
                "struct unrelated { int unrelated_field; };\n");
    file("main.c", "#include \"a.h\"\n"
                   "static jmp_buf recovery;\n"
                   "struct box here;\n"
                   "int value_of(struct node *n) { return n->value + (int)here.corner.x; }\n"
                   "struct cell *next_cell(struct cell *c) { return c + 1; }\n"
                   "unsigned long size(void) { return sizeof(struct sized); }\n"
                   "int jump(void) { return setjmp(recovery); }\n");
    std::string text = bound();
    // Objects and members of a struct need it whole, and the definitions its
    // members need in turn (struct point, the typedef coordinate).
    EXPECT_TRUE(has(text, "int area;")) << text;
    EXPECT_TRUE(has(text, "coordinate x, y;")) << text;
    EXPECT_TRUE(has(text, "typedef long coordinate;")) << text;
    EXPECT_TRUE(has(text, "int value;")) << text;
    // Pointer arithmetic and sizeof need the size of the struct.
    EXPECT_TRUE(has(text, "cell_field")) << text;
    EXPECT_TRUE(has(text, "sized_field")) << text;
    EXPECT_FALSE(has(text, "unrelated_field")) << text;
    // jmp_buf is an array of struct __jmp_buf_tag: an array needs its element
    // type complete.
    EXPECT_TRUE(has(text, "struct __jmp_buf_tag { __jmp_buf __jmpbuf;")) << text;
}

TEST_F(Unit, UnusedStaticFunctionsAndVariablesOfHeadersAreLeftOut) {
    file("a.h", "static inline int helper(int v) { return v + 1; }\n"
                "static inline int twice(int v) { return 2 * helper(v); }\n"
                "static inline int unused_helper(int v) { return v - 1; }\n"
                "static const int unused_table[] = {1, 2, 3};\n"
                "int declared_but_unused(void);\n");
    file("main.c", "#include \"a.h\"\n"
                   "int f(int v) { return twice(v); }\n");
    std::string text = bound();
    EXPECT_TRUE(has(text, "twice")) << text;
    EXPECT_TRUE(has(text, "helper(int v)")) << text; // called by twice
    EXPECT_FALSE(has(text, "unused_helper")) << text;
    EXPECT_FALSE(has(text, "unused_table")) << text;
    EXPECT_FALSE(has(text, "declared_but_unused")) << text;
}

TEST_F(Unit, EnumConstantsKeepTheirEnum) {
    file("a.h", "enum color { RED, GREEN, BLUE, NCOLORS };\n"
                "enum unused_enum { UNUSED_ONE, UNUSED_TWO };\n"
                "typedef enum { SMALL, LARGE } size_kind;\n"
                "struct holder { int slots[NCOLORS]; };\n");
    file("main.c", "#include \"a.h\"\n"
                   "static int table[NCOLORS];\n"
                   "size_kind kind;\n"
                   "int f(void) { return table[RED]; }\n");
    std::string text = bound();
    EXPECT_TRUE(has(text, "NCOLORS")) << text;
    EXPECT_TRUE(has(text, "LARGE")) << text;
    EXPECT_FALSE(has(text, "UNUSED_ONE")) << text;
    EXPECT_FALSE(has(text, "holder")) << text;
}

TEST_F(Unit, DeclarationsThatShapeTheObjectStay) {
    file("a.h", "__attribute__((visibility(\"hidden\"))) extern int internal(void);\n"
                "int plain(void);\n"
                "__attribute__((visibility(\"hidden\"))) int spelled_twice(void);\n"
                "int defined_in_header = 3;\n"
                "int old_style(int a, char *b);\n"
                "extern int sized[10];\n"
                "extern int sized_twice[4];\n");
    file("main.c", "#include \"a.h\"\n"
                   "int sized[] = {1};\n"
                   "int sized_twice[4] = {1};\n"
                   "int old_style(a, b) int a; char *b; { return a + *b; }\n"
                   "int plain(void) { return old_style(1, \"x\"); }\n"
                   "__attribute__((visibility(\"hidden\"))) int spelled_twice(void) { return 2; }\n"
                   "int internal(void) { return plain(); }\n");
    std::string text = bound();
    // The unit defines internal(); the header gives it hidden visibility.
    EXPECT_TRUE(has(text, "visibility")) << text;
    // An old-style definition takes its prototype from the header.
    EXPECT_TRUE(has(text, "int old_style(int a, char *b);")) << text;
    // The unit spells spelled_twice()'s attribute itself.
    EXPECT_FALSE(has(text, "int spelled_twice(void);")) << text;
    // plain() is defined before its use: its prototype is not needed.
    EXPECT_FALSE(has(text, "int plain(void);")) << text;
    // A header's external definition is part of the object.
    EXPECT_TRUE(has(text, "defined_in_header")) << text;
    // `int sized[] = {1};` is ten ints large after the header's declaration,
    // one without it; sized_twice spells its size itself.
    EXPECT_TRUE(has(text, "extern int sized[10];")) << text;
    EXPECT_FALSE(has(text, "extern int sized_twice[4];")) << text;
}

TEST_F(Unit, WarningsTheUnitAsksForKeepThePrototypesOfItsDefinitions) {
    file("a.h", "int defined_here(void);\n"
                "int old_style(void);\n"
                "static inline int unused(void) { return 0; }\n");
    file("main.c", "#include \"a.h\"\n"
                   "int defined_here(void) { return 1; }\n"
                   "static int local(void) { return 3; }\n"
                   "int old_style() { return local(); }\n");
    std::string plain = bound();
    EXPECT_FALSE(has(plain, "int defined_here(void);")) << plain;
    EXPECT_FALSE(has(plain, "int old_style(void);")) << plain;
    // Under -Wstrict-prototypes the old-style definition needs the prototype.
    std::string strict = bound("", "-Wstrict-prototypes");
    EXPECT_TRUE(has(strict, "int old_style(void);")) << strict;
    EXPECT_FALSE(has(strict, "int defined_here(void);")) << strict;
    // Under -Wmissing-prototypes every external definition does.
    std::string missing = bound("", "-Wmissing-prototypes");
    EXPECT_TRUE(has(missing, "int defined_here(void);")) << missing;
    EXPECT_TRUE(has(missing, "int old_style(void);")) << missing;
    EXPECT_FALSE(has(missing, "unused")) << missing;
}

TEST_F(Unit, TheWholeUnitCountsAsThePreprocessorCountsIt) {
    file("a.h", "#include <stddef.h>\n#include <errno.h>\n"
                "struct s { int a; };\n");
    file("main.c", "#include \"a.h\"\n"
                   "int f(struct s *p) {\n"
                   "    if (p == NULL)\n"
                   "        return errno;\n"
                   "    return p->a;\n"
                   "}\n");
    // With every statement kept, the text has the lines of the original.
    bound("--all");
    EXPECT_EQ(preprocessed_lines("main.bound.c"), preprocessed_lines("main.c"));
    // And the lower bound leaves the unit's own code on its own lines.
    std::string text = bound();
    std::istringstream lines(text);
    std::string line;
    int joined = 0;
    while (std::getline(lines, line))
        joined += has(line, "if (p == ((void *)0))") || has(line, "return (*__errno_location ());");
    EXPECT_EQ(joined, 2) << text;
}

TEST(Statements, SplitAtTopLevelSemicolonsAndFunctionBodies) {
    preprocessed_text text("# 0 \"m.c\"\n"
                           "__extension__ typedef struct S { int a; struct { int b; } in; } T;\n"
                           "#pragma pack(1)\n"
                           "int f(int x) __attribute__((cold)) { return x; } int y = {1};\n"
                           "enum E { A } e; struct { int c; } anon;\n");
    std::vector<statement> statements = split_statements(text);
    ASSERT_EQ(statements.size(), 6u);
    const std::string& s = text.text();
    auto at = [&](size_t i) {
        return s.substr(statements[i].begin, statements[i].end - statements[i].begin);
    };
    EXPECT_EQ(at(0).rfind("__extension__", 0), 0u);
    ASSERT_EQ(statements[0].bodies.size(), 1u); // the named struct's body only
    EXPECT_EQ(s.substr(statements[0].bodies[0].first, 1), "{");
    EXPECT_FALSE(statements[0].other_braces);
    EXPECT_TRUE(statements[1].directive);
    EXPECT_EQ(at(2).back(), '}');
    EXPECT_TRUE(statements[2].other_braces);
    EXPECT_EQ(at(3), "int y = {1};");
    EXPECT_TRUE(statements[4].other_braces); // an enum cannot be declared by its tag
    EXPECT_TRUE(statements[5].other_braces); // nor can an unnamed struct
}

TEST(Statements, SystemMacroExpansionsJoinTheirLine) {
    std::string joined = join_system_macro_lines("# 1 \"m.c\"\n"
                                                 "int *p = \n"
                                                 "# 1 \"m.c\" 3 4\n"
                                                 "         ((void *)0)\n"
                                                 "# 1 \"m.c\"\n"
                                                 "             ;\n"
                                                 "# 1 \"/usr/include/x.h\" 3 4\n"
                                                 "int x;\n");
    EXPECT_EQ(joined, "# 1 \"m.c\"\n"
                      "int *p =           ((void *)0)              ;\n"
                      "# 1 \"/usr/include/x.h\" 3 4\n"
                      "int x;\n");
}

// The driver's step on a unit built with -pedantic-errors, under which GCC
// rejects line markers in a plain source: the bound compiles with the unit's
// flags all the same, counts as the preprocessor counts it, and still tells
// which header each declaration came from.
TEST_F(Unit, ABoundCompilesAndCountsUnderTheUnitsPedanticFlags) {
    file("a.h", "#include <stdio.h>\n"
                "struct s { int a; };\n"
                "int get(struct s *p);\n");
    file("main.c", "#include \"a.h\"\n"
                   "int main(void) {\n"
                   "    struct s v = {1};\n"
                   "    fprintf(stderr, \"%d\\n\", get(&v));\n"
                   "    return stdin == NULL;\n"
                   "}\n");
    const std::string d = dir_.string();
    const std::string flags = "-std=c99 -pedantic-errors -Wall -Werror";
    ASSERT_EQ(run("cd " + d + " && cc " + flags + " -E " + d + "/main.c -o main.cpp.c"), 0);
    compile_unit unit;
    unit.source = d + "/main.c";
    unit.directory = d;
    unit.compiler = "cc";
    unit.flags = {"-std=c99", "-pedantic-errors", "-Wall", "-Werror"};
    unit.stem = d + "/main";
    unit.name = "main.c";
    fs::create_directories(dir_ / "bounds");
    progress quiet(progress::style::quiet);
    std::vector<unit_bound> bounds = measure_lower_bounds(
        {unit}, {true}, LOWERBOUND_PROGRAM, (dir_ / "bounds").string(), d, 1, quiet);
    ASSERT_EQ(bounds.size(), 1u);
    ASSERT_TRUE(bounds[0].computed) << read(bounds[0].log);
    EXPECT_TRUE(bounds[0].compiles) << read(bounds[0].log);
    EXPECT_EQ(run("cd " + d + " && cc -E -P bounds/0.bound.c -o plain.i"), 0);
    EXPECT_EQ(bounds[0].size.lines, measure_file((dir_ / "plain.i").string()).lines);
    EXPECT_GT(bounds[0].size.lines, 6);
    EXPECT_EQ(bounds[0].headers.size(), 1u);
    EXPECT_EQ(bounds[0].headers.count((fs::path(d) / "a.h").lexically_normal().string()), 1u);
}
