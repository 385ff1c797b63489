// Every unit gcc compiles is read: GCC's dialect in the unit and in gcc's own
// headers, and the headers gcc itself would include.
#include "c2ta_run.h"
#include "command_line.h"
#include "dump_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::vector<std::string>& v, const std::string& s) {
    for (const std::string& x : v)
        if (x == s) return true;
    return false;
}

TEST(C2taGccDialect, UnitsGccCompilesAreRead) {
    scratch_dir scratch;
    scratch.write("main.c", "#include <emmintrin.h>\n"
                            "static int keep([[__maybe_unused__]] int x) { return 0; }\n"
                            "static int mul(int a, int b) {\n"
                            "    return __builtin_mul_overflow_p(a, b, (int)0) ? -1 : a * b; }\n"
                            "int main(void) { __m128i z = _mm_setzero_si128();\n"
                            "    return keep(1) + mul(6, 7) + _mm_cvtsi128_si32(z); }\n");
    run_result gcc = scratch.run("cc -std=gnu17 -c main.c -o main.o");
    ASSERT_EQ(gcc.status, 0) << gcc.err;
    run_result pre = scratch.run("cc -std=gnu17 -E main.c -o main.cpp.c && " C2TA_PROGRAM
                                 " -std=gnu17 main.cpp.c");
    EXPECT_EQ(pre.status, 0) << pre.err;
    ta_dump dump = read_dump(pre.out);
    EXPECT_EQ(dump.find("cFunction", "mul").size(), 1u);
    EXPECT_EQ(dump.find("cFunction", "_mm_setzero_si128").size(), 1u);
    run_result source = scratch.c2ta("-std=gnu17 main.c");
    EXPECT_EQ(source.status, 0) << source.err;

    // An error in the unit's own code still fails it.
    scratch.write("bad.c", "#include <emmintrin.h>\nint f(void) { return undeclared_name; }\n");
    run_result bad = scratch.run("cc -E bad.c -o bad.cpp.c && " C2TA_PROGRAM " bad.cpp.c");
    EXPECT_NE(bad.status, 0);
    EXPECT_NE(bad.err.find("undeclared_name"), std::string::npos) << bad.err;
}

// GCC's _FloatN types are given to clang as the equivalent types, unless the
// text declares them itself (glibc preprocessed by clang: a macro would make
// `typedef float _Float32;` read `typedef float float;`).
TEST(C2taGccDialect, FloatTypesDefinedOnlyWhereTheTextLacksThem) {
    scratch_dir scratch;
    scratch.write("gcc.cpp.c", "# 0 \"gcc.c\"\n_Float32 f; _Float64x g; int _Float32x_count;\n");
    scratch.write("clang.cpp.c", "# 1 \"clang.c\"\ntypedef float _Float32;\n"
                                 "typedef double _Float32x ;\n_Float32 f;\n");
    std::vector<std::string> gcc = float_type_definitions(scratch.dir() + "/gcc.cpp.c");
    EXPECT_TRUE(has(gcc, "-D_Float32=float"));
    EXPECT_TRUE(has(gcc, "-D_Float64x=long double"));
    EXPECT_TRUE(has(gcc, "-D_Float32x=double"));
    std::vector<std::string> clang = float_type_definitions(scratch.dir() + "/clang.cpp.c");
    EXPECT_FALSE(has(clang, "-D_Float32=float"));
    EXPECT_FALSE(has(clang, "-D_Float32x=double"));
    EXPECT_TRUE(has(clang, "-D_Float64=double"));
    run_result r = scratch.c2ta("clang.cpp.c");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_dump(r.out).find("cAliasType", "_Float32").size(), 1u);
}

// Parsing a source file, c2ta searches the include directories of the
// compiler that preprocesses the unit: gcc's stddef.h, not clang's, so that
// names and declarations are those of the unit's <unit>.cpp.c.
TEST(C2taGccDialect, SourceFilesTakeTheCompilersOwnHeaders) {
    scratch_dir scratch;
    scratch.write("main.c", "#include <stddef.h>\nsize_t n;\n");
    run_result markers = scratch.run("gcc -E main.c | grep -o '\"[^\"]*/stddef.h\"' | head -1");
    ASSERT_EQ(markers.status, 0);
    std::string gcc_stddef = markers.out.substr(1, markers.out.find('"', 1) - 1);
    ASSERT_FALSE(gcc_stddef.empty());
    for (const char* command : {"gcc main.c", "-c main.c"}) {
        run_result r = scratch.run(std::string("CC=gcc " C2TA_PROGRAM " ") + command);
        ASSERT_EQ(r.status, 0) << r.err;
        ta_dump dump = read_dump(r.out);
        EXPECT_EQ(dump.find("cScopeFile", gcc_stddef).size(), 1u) << command;
        std::string type = dump.successors(dump.only("cObject", "n"), "cInstance").front();
        EXPECT_EQ(dump.attribute(type, "name"), "size_t");
        EXPECT_EQ(dump.attribute(dump.parent(type), "name"), gcc_stddef);
    }
    std::vector<std::string> dirs = compiler_include_dirs("gcc");
    ASSERT_FALSE(dirs.empty());
    EXPECT_EQ(dirs.back(), "/usr/include");
    EXPECT_TRUE(compiler_include_dirs("/nonexistent/cc").empty());
}

} // namespace
