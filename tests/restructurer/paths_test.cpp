// Path resolution and the system-file test on temporary directory trees.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace test_support;

namespace {
std::string resolved(const std::string& path) {
    char out[4096];
    return realpath(path.c_str(), out) ? out : "";
}
} // namespace

TEST(Paths, SystemPathResolvesOrWarns) {
    temp_dir dir;
    const std::string file = dir.write("a/b.h", "");
    EXPECT_EQ(graph::system_path(dir.path() + "/a/../a/b.h"), resolved(file));
    captured_stdout out;
    EXPECT_EQ(graph::system_path(dir.path() + "/missing.h"), "");
    EXPECT_EQ(out.text(), "Warning: file " + dir.path() + "/missing.h does not exist!\n");
}

// Names of line markers and facts: relative ones are the compile directory's
// (read from gcc's working-directory marker); a name found nowhere still gets
// an absolute path, so that the facts and the markers naming it agree.
TEST(Paths, SourcePathsTakeTheCompileDirectory) {
    temp_dir dir;
    const std::string grammar = dir.write("top/sub/parse.y", "");
    const std::string top = resolved(dir.path() + "/top");
    EXPECT_EQ(graph::source_path("sub/parse.y", top), resolved(grammar));
    EXPECT_EQ(graph::source_path(grammar, "/elsewhere"), resolved(grammar));
    captured_stdout out;
    EXPECT_EQ(graph::source_path("sub/gen.y", top), top + "/sub/gen.y");
    EXPECT_EQ(graph::source_path("sub/../gen.y", top), top + "/gen.y");
    EXPECT_EQ(graph::source_path("<built-in>", top), "");
    EXPECT_NE(out.text().find("Warning: file sub/gen.y does not exist!\n"), std::string::npos);

    const std::string with = dir.write("with.cpp.c", "# 0 \"sub/parse.c\"\n# 1 \"" + top +
                                                         "//\"\n# 0 \"<built-in>\"\nint x;\n");
    const std::string without =
        dir.write("without.cpp.c", "# 0 \"sub/parse.c\"\n# 0 \"<built-in>\"\n# 1 \"/d//\"\n");
    EXPECT_EQ(graph::working_directory(with), top);
    EXPECT_EQ(graph::working_directory(without), ""); // only right after the first marker
    EXPECT_EQ(graph::working_directory(dir.path() + "/none.cpp.c"), "");
}

TEST(Paths, IncludeDirectoriesAndUserModules) {
    clean_options options;
    temp_dir dir;
    dir.write("inc/a.h", "");
    dir.write("sys/sys/types.h", "");
    dir.write("b/x.h", "");
    dir.write("a/x.h", "");
    const std::string root = resolved(dir.path());

    // Nothing declared: every file is a system file, found or not.
    EXPECT_TRUE(graph::is_system_file("inc/a.h"));

    graph::include_dirs = {dir.path() + "/inc", dir.path() + "/sys"};
    EXPECT_TRUE(graph::is_system_file("a.h")); // found, but no user module claims it
    graph::user_modules = {dir.path() + "/inc"};
    EXPECT_FALSE(graph::is_system_file("a.h"));
    EXPECT_TRUE(graph::is_system_file("<sys/types.h>"));
    EXPECT_TRUE(graph::is_system_file("nowhere.h"));

    // Absolute names: existing below a module is user; missing is system,
    // with no warning from the lookup.
    {
        captured_stdout out;
        EXPECT_FALSE(graph::is_system_file(root + "/inc/a.h"));
        EXPECT_TRUE(graph::is_system_file(root + "/inc/missing.h"));
        EXPECT_EQ(out.text(), "");
    }

    // The plain prefix rule: module .../inc also claims .../include/...
    dir.write("include/z.h", "");
    EXPECT_FALSE(graph::is_system_file(root + "/include/z.h"));

    // Include directories are searched in ascending string order.
    graph::include_dirs = {dir.path() + "/b", dir.path() + "/a"};
    graph::user_modules = {dir.path() + "/a"};
    EXPECT_FALSE(graph::is_system_file("x.h"));
    graph::user_modules = {dir.path() + "/b"};
    EXPECT_TRUE(graph::is_system_file("x.h"));
}

TEST(Paths, MissingUserModuleWarnsAtEveryTest) {
    clean_options options;
    temp_dir dir;
    dir.write("inc/a.h", "");
    graph::include_dirs = {dir.path() + "/inc"};
    graph::user_modules = {dir.path() + "/missing"};
    captured_stdout out;
    EXPECT_TRUE(graph::is_system_file("a.h"));
    EXPECT_TRUE(graph::is_system_file("a.h"));
    const std::string warning = "Warning: file " + dir.path() + "/missing does not exist!\n";
    EXPECT_EQ(out.text(), warning + warning);
}

TEST(Paths, RelativeIncludeDirectoryBelowModuleDot) {
    clean_options options;
    temp_dir dir;
    dir.write("inc/a.h", "");
    const std::string here = current_dir();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    graph::include_dirs = {"./inc"};
    graph::user_modules = {"."};
    const bool system = graph::is_system_file("a.h");
    ASSERT_EQ(chdir(here.c_str()), 0);
    EXPECT_FALSE(system);
}

TEST(Paths, FileNamesOfNodesAndIncludeOptions) {
    auto* made_up = make_node<Header>("");
    made_up->members.insert(unit(1, "type:t"));
    EXPECT_EQ(graph::get_filename(node(7, made_up)), "7.h");
    made_up->members.insert(unit(2, "func:f", true));
    EXPECT_EQ(graph::get_filename(node(12, made_up)), "12.c");
    EXPECT_EQ(graph::get_filename(node(3, make_node<Implement>("net/buf.cpp.c"))),
              "net/buf.cpp.new.c");
    EXPECT_EQ(graph::get_filename(node(4, make_node<Header>("file:/x.h"))), "");

    graph g;
    EXPECT_EQ(g.get_include_dirs(), " -Iinclude.new");
    g.module_dirs = {"src", "lib"};
    EXPECT_EQ(g.get_include_dirs(), " -Iinclude.new -Ilib/include.new -Isrc/include.new");
}
