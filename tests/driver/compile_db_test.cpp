#include "compile_db.h"

#include "fresh_temp_dir.h"
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(CompileCommands, SplitsShellWordsAsTheShellDoes) {
    EXPECT_EQ(split_command("cc -c  a.c"), (std::vector<std::string>{"cc", "-c", "a.c"}));
    EXPECT_EQ(split_command("cc -DNAME=\"a b\" 'x y' z\\ w"),
              (std::vector<std::string>{"cc", "-DNAME=a b", "x y", "z w"}));
    EXPECT_EQ(split_command("cc -DQ=\\\"q\\\" ''"),
              (std::vector<std::string>{"cc", "-DQ=\"q\"", ""}));
    EXPECT_EQ(split_command("cc \"-DS=\\\"s\\\"\""), (std::vector<std::string>{"cc", "-DS=\"s\""}));
}

TEST(CompileCommands, FlagsLoseOutputsAndGainAbsolutePaths) {
    std::string object;
    std::vector<std::string> flags = normalize_flags(
        {"gcc", "-Iinc", "-I", "../up", "-isystem", "sys", "-DX=1", "-MD", "-MF", "a.d", "-MTa.o",
         "-O2", "-c", "-o", "obj/a.o", "src/a.c", "-include", "cfg.h", "-std=c99"},
        "/p/build", "/p/build/src/a.c", object);
    EXPECT_EQ(object, "/p/build/obj/a.o");
    EXPECT_EQ(flags,
              (std::vector<std::string>{"-I/p/build/inc", "-I", "/p/up", "-isystem", "/p/build/sys",
                                        "-DX=1", "-O2", "-include", "/p/build/cfg.h", "-std=c99"}));
    // Options that make the compiler write files of its own go, wherever they
    // point; what "-Wp," and "-Wa," pass on besides is kept.
    flags = normalize_flags({"cc",
                             "-Wp,-MD,/p/a.d",
                             "-Wp,-D_FORTIFY_SOURCE=2,-MMD,/p/b.d",
                             "-Wp,-MF,x.d,-MT,a.o,-MP",
                             "-MJ",
                             "a.json",
                             "-MFc.d",
                             "--save-temps",
                             "-save-temps=obj",
                             "-fprofile-generate=/p/prof",
                             "-fprofile-arcs",
                             "-ftest-coverage",
                             "--coverage",
                             "-fdump-tree-all",
                             "-fstack-usage",
                             "-dumpdir",
                             "/p/d",
                             "-aux-info",
                             "/p/aux",
                             "-Wa,-adhln=/p/l.lst,--noexecstack",
                             "-Wa,--MD,/p/as.d",
                             "-ftime-trace",
                             "-c",
                             "/p/a.c"},
                            "/p", "/p/a.c", object);
    EXPECT_EQ(flags, (std::vector<std::string>{"-Wp,-D_FORTIFY_SOURCE=2", "-Wa,--noexecstack"}));
    // A glued "-o" and an absolute source are recognised too.
    flags = normalize_flags({"cc", "-oa.o", "/p/a.c", "-Wall"}, "/p", "/p/a.c", object);
    EXPECT_EQ(object, "/p/a.o");
    EXPECT_EQ(flags, (std::vector<std::string>{"-Wall"}));
}

class CompileDbFile : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fresh_temp_dir(std::string("hdrslim-db-") +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "project" / "src");
        fs::create_directories(root / "tree");
        project = fs::canonical(root / "project").string();
        tree = (fs::canonical(root) / "tree").string();
        fs::create_directories(fs::path(tree) / "src");
        std::ofstream(fs::path(tree) / "src" / "a.c") << "int a;\n";
        std::ofstream(fs::path(tree) / "src" / "b.c") << "int b;\n";
    }
    void TearDown() override { fs::remove_all(root); }
    std::string write(const std::string& text) {
        std::string path = (root / "compile_commands.json").string();
        std::ofstream(path) << text;
        return path;
    }
    fs::path root;
    std::string project, tree;
};

TEST_F(CompileDbFile, MapsUnitsIntoTheCopyAndSkipsWhatItCannotUse) {
    std::string db = write(R"([
      {"directory": ")" + project +
                           R"(/src", "file": "b.c",
       "command": "cc -I../include -c b.c -o b.o"},
      {"directory": ")" + project +
                           R"(", "file": "src/a.c",
       "arguments": ["gcc", "-I)" +
                           project + R"(/include", "-c", "src/a.c"]},
      {"directory": ")" + project +
                           R"(", "file": "src/a.c",
       "arguments": ["gcc", "-c", "src/a.c", "-DAGAIN"]},
      {"directory": ")" + project +
                           R"(", "file": "src/a.c",
       "arguments": ["gcc", "-c", "src/a.c", "-DAGAIN", "-o", "again.o"]},
      {"directory": "/elsewhere", "file": "x.c", "arguments": ["cc", "-c", "x.c"]},
      {"directory": ")" + project +
                           R"(", "file": "lib.cpp", "arguments": ["c++", "-c", "lib.cpp"]},
      {"directory": ")" + project +
                           R"(", "file": "conftest.c", "arguments": ["cc", "-c", "conftest.c"]},
      {"directory": ")" + project +
                           R"(/build", "file": "CMakeFiles/3.25.1/CompilerIdC/CMakeCCompilerId.c",
       "arguments": ["cc", "CMakeFiles/3.25.1/CompilerIdC/CMakeCCompilerId.c"]},
      {"directory": ")" + project +
                           R"(/mbuild", "file": "meson-private/sanitycheckc.c",
       "arguments": ["cc", "meson-private/sanitycheckc.c", "-o", "meson-private/sanitycheckc.exe"]},
      {"file": "nodir.c"}
    ])");
    compile_db_result result = read_compile_db(db, project, tree);
    ASSERT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(result.units.size(), 2u);
    const compile_unit& a = result.units[0];
    EXPECT_EQ(a.name, "src/a.c");
    EXPECT_EQ(a.source, tree + "/src/a.c");
    EXPECT_EQ(a.directory, tree);
    EXPECT_EQ(a.stem, tree + "/src/a");
    EXPECT_EQ(a.facts(), tree + "/src/a.rsf");
    EXPECT_EQ(a.flags, (std::vector<std::string>{"-I" + tree + "/include"}));
    // A further command with other flags is a variant, met once; one with the
    // same flags as the first is none.
    ASSERT_EQ(a.variants.size(), 1u);
    EXPECT_EQ(a.variants[0].flags, (std::vector<std::string>{"-DAGAIN"}));
    EXPECT_EQ(a.variants[0].directory, tree);
    const compile_unit& b = result.units[1];
    EXPECT_EQ(b.directory, tree + "/src");
    EXPECT_EQ(b.object, tree + "/src/b.o");
    EXPECT_EQ(b.flags, (std::vector<std::string>{"-I" + tree + "/include"}));
    EXPECT_TRUE(b.variants.empty());
    // outside, C++, no directory, gone, CMake's and meson's probes of the compiler
    EXPECT_EQ(result.skipped.size(), 6u);
    int probes = 0;
    for (const std::string& why : result.skipped)
        probes += why.find("own probe of the compiler") != std::string::npos;
    EXPECT_EQ(probes, 2);
    EXPECT_EQ(a.object, tree + "/a.o"); // no "-o": the object goes to the working directory
}

TEST_F(CompileDbFile, RejectsWhatIsNotACompileDatabase) {
    EXPECT_NE(read_compile_db((root / "missing.json").string(), project, tree).error, "");
    EXPECT_NE(read_compile_db(write("{\"not\": \"an array\"}"), project, tree).error, "");
    EXPECT_NE(read_compile_db(write("[ {"), project, tree).error, "");
}

TEST_F(CompileDbFile, ResponseFilesAreReadWithTheirPathsMadeAbsolute) {
    // Flags in a response file (`cc @flags.rsp`), one naming another, with paths
    // relative to the compile's directory and dependency options to drop.
    std::ofstream(fs::path(tree) / "src" / "flags.rsp")
        << "-include cfg.h\n-iquote quoted -isystem 'vendor dir'\n@more.rsp -MMD -MF a.d\n";
    std::ofstream(fs::path(tree) / "src" / "more.rsp") << "-DNAME=\\\"x\\\" -Iinc\n";
    std::string db = write(R"([
      {"directory": ")" + tree +
                           R"(/src", "file": "a.c",
       "arguments": ["cc", "@flags.rsp", "@missing.rsp", "-c", "a.c"]}
    ])");
    compile_db_result result = read_compile_db(db, tree, tree);
    ASSERT_EQ(result.units.size(), 1u) << result.error;
    const std::string src = tree + "/src";
    EXPECT_EQ(result.units[0].flags,
              (std::vector<std::string>{"-include", src + "/cfg.h", "-iquote", src + "/quoted",
                                        "-isystem", src + "/vendor dir", "-DNAME=\"x\"",
                                        "-I" + src + "/inc", "@missing.rsp"}));
}
