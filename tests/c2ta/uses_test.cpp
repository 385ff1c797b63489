// Uses that the facts must carry for the restructured code to compile, read
// through c2ta and the extractor from gcc's preprocessed text, as the pipeline
// reads them.
#include "c2ta_run.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

// The facts of main.c, preprocessed by cc with the given flags.
std::string facts_of(const scratch_dir& scratch, const std::string& flags = "") {
    run_result r = scratch.run("cc -E " + flags + " main.c -o main.cpp.c && " C2TA_PROGRAM " " +
                               flags + " main.cpp.c > main.ta && " EXTRACTOR_PROGRAM " main.ta");
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

bool has(const std::string& facts, const std::string& line) {
    return facts.find(line + "\n") != std::string::npos;
}

// sizeof, _Alignof, offsetof, compound literals, va_arg and casts name a
// structure, union or enumeration: the declaration or function using them
// needs it complete.
TEST(C2taUses, TypesNamedInExpressions) {
    scratch_dir scratch;
    scratch.write("t.h", "#include <stddef.h>\n"
                         "struct pair { char c; double d; };\n"
                         "struct offs { char c; double d; };\n"
                         "union algn { char c; double d; };\n"
                         "enum color { RED, GREEN };\n"
                         "struct lit { int a, b; };\n"
                         "struct arg { int a; };\n"
                         "struct cast { int a; };\n"
                         "struct unused { int a; };\n"
                         "enum { SZ = sizeof(struct pair) };\n"
                         "enum { OFF = offsetof(struct offs, d) };\n"
                         "enum { AL = _Alignof(union algn) };\n"
                         "typedef struct pair pair_t;\n");
    scratch.write("main.c", "#include <stdarg.h>\n#include \"t.h\"\n"
                            "int from_list(int n, ...) {\n"
                            "    va_list ap; va_start(ap, n);\n"
                            "    int a = va_arg(ap, struct arg).a; va_end(ap); return a; }\n"
                            "int first(const void *p) { return ((const struct cast *)p)->a; }\n"
                            "int literal(void) { return ((struct lit){5, 6}).b; }\n"
                            "int width(void) { return sizeof(enum color) + sizeof(pair_t); }\n"
                            "int local(void) { struct unused { int b; }; "
                            "return sizeof(struct unused); }\n");
    std::string facts = facts_of(scratch);
    for (const char* use :
         {"2 func:from_list struct:arg", "2 func:first struct:cast", "2 func:literal struct:lit",
          "2 func:width enum:color", "2 func:width type:pair_t"})
        EXPECT_TRUE(has(facts, use)) << use << "\n" << facts;
    // The anonymous enumerations are named by their node.
    for (const char* tag : {"struct:pair", "struct:offs", "union:algn"})
        EXPECT_TRUE(
            std::regex_search(facts, std::regex(std::string("\n2 enum:[0-9]+ ") + tag + "\n")))
            << tag << "\n"
            << facts;
    // A structure local to a function is no use of the file-scope one.
    EXPECT_FALSE(has(facts, "2 func:local struct:unused")) << facts;
}

// Names in attribute arguments are uses: GCC's malloc attribute names the
// deallocator, cleanup a function. A format archetype names nothing.
TEST(C2taUses, NamesInsideAttributes) {
    scratch_dir scratch;
    scratch.write("main.c",
                  "#include <stdio.h>\n"
                  "void release(void *p);\n"
                  "void *acquire(void) __attribute__((__malloc__(release, 1)));\n"
                  "void *plain(void) __attribute__((malloc(release, 1), unknown_attr(3)));\n"
                  "void done(int *p);\n"
                  "int log_it(const char *f, ...) __attribute__((format(printf, 1, 2)));\n"
                  "int run(void) { int x __attribute__((cleanup(done))) = 1; return x; }\n"
                  "int open0(void) { return fdopen(0, \"r\") == NULL; }\n");
    std::string facts = facts_of(scratch);
    for (const char* use : {"2 func:acquire func:release", "2 func:plain func:release",
                            "2 func:run func:done", "2 func:fdopen func:fclose"})
        EXPECT_TRUE(has(facts, use)) << use << "\n" << facts;
    EXPECT_FALSE(has(facts, "2 func:log_it func:printf")) << facts;
}

// A function declared through a typedef of a function type uses the typedef.
TEST(C2taUses, FunctionDeclaredByTypedef) {
    scratch_dir scratch;
    scratch.write("main.c", "typedef int (fn_t)(int);\nextern fn_t twice;\n"
                            "int main(void) { return twice(1); }\n");
    std::string facts = facts_of(scratch);
    EXPECT_TRUE(has(facts, "4 func:twice type:fn_t")) << facts;
}

// gcc enters a guarded header again when another spelling reaches it ("t.h"
// and <t.h> through -I.); the empty second entry renames nothing, and the
// typedef has the name it has in a unit that enters the header once.
TEST(C2taUses, GuardedHeaderEnteredTwiceKeepsItsNames) {
    scratch_dir scratch;
    scratch.write("t.h", "#ifndef T_H\n#define T_H\ntypedef struct { int n; } S;\n#endif\n");
    scratch.write("u.h", "#include <t.h>\nextern S s;\n");
    scratch.write("main.c", "#include \"t.h\"\n#include \"u.h\"\nint main(void) { return s.n; }\n");
    std::string twice = facts_of(scratch, "-I.");
    scratch.write("main.c", "#include \"u.h\"\nS s;\n");
    std::string once = facts_of(scratch, "-I.");
    for (const std::string& facts : {twice, once}) {
        EXPECT_TRUE(
            std::regex_search(facts, std::regex("\n1 type:S [^ ]*t\\.h:3\\.[0-9]+:3\\.28\n")))
            << facts;
        EXPECT_EQ(facts.find('#'), std::string::npos) << facts;
    }
}

// Uses that need a structure whole and uses that need only its tag: member
// access (also through a typedef's pointer), values of the type, pointer
// arithmetic, locals, by-value members and array typedefs need it whole and
// carry a direct use; pointers, casts, prototypes, extern declarations and
// typedefs need only the tag ("5" for a definition, "6" for a declaration).
TEST(C2taUses, UsesThatNeedOnlyTheTag) {
    scratch_dir scratch;
    scratch.write("t.h", "struct S { int a; };\n"
                         "typedef struct S S_t;\n"
                         "struct P { struct S *s; };\n"
                         "struct V { struct S s; };\n"
                         "typedef struct S arr_t[2];\n"
                         "extern struct S ext;\n"
                         "int proto(S_t *p, struct S q);\n"
                         "struct Q { int x; };\nstruct R { int y; };\nstruct W { int z; };\n");
    scratch.write("main.c", "#include \"t.h\"\n"
                            "int member(S_t *p) { return p->a; }\n"
                            "int value(struct S *p) { return proto(p, *p); }\n"
                            "int pointer_only(S_t *p) { return p != 0; }\n"
                            "long arith(struct Q *q) { return (q + 1) - q; }\n"
                            "int cast_only(void *v) { return ((struct R *)v) != 0; }\n"
                            "int local(void) { struct W w = {1}; return w.z; }\n"
                            // A system header's macro (NULL) hides the operator
                            // from the text: assigning pointers needs no complete
                            // pointee, arithmetic does.
                            "#include <stddef.h>\n#define PLUS(a, b) a + b\n"
                            "struct A { int a; }; struct B { int b; }; struct C { int c; };\n"
                            "void assign(struct A **pp, struct A *q) { *pp = NULL; pp[0] = q; }\n"
                            "struct B *step(struct B *b) { return PLUS(b, 1); }\n"
                            "long apart(struct C *c, struct C *d) { return PLUS(c, 0) - d; }\n");
    std::string facts = facts_of(scratch);
    for (const char* use :
         {"6 struct:P struct:S", "4 struct:V struct:S", "6 type:S_t struct:S", "6 var:ext struct:S",
          "6 func:proto struct:S", "2 func:member struct:S", "5 func:pointer_only struct:S",
          "2 func:arith struct:Q", "5 func:cast_only struct:R", "5 func:assign struct:A",
          "2 func:step struct:B", "2 func:apart struct:C"})
        EXPECT_TRUE(has(facts, use)) << use << "\n" << facts;
    for (const char* use :
         {"6 struct:V struct:S", "6 type:arr_t struct:S", "5 func:member struct:S",
          "5 func:value struct:S", "5 func:arith struct:Q", "5 func:local struct:W",
          "5 func:step struct:B", "5 func:apart struct:C"})
        EXPECT_FALSE(has(facts, use)) << use << "\n" << facts;
}

} // namespace
