// Scope files: one per file instance the preprocessor entered, named as the
// line markers name it, in both input modes.
#include "c2ta_run.h"
#include "dump_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// (scope name, parent scope name) of every scope file, sorted.
std::vector<std::pair<std::string, std::string>> scope_links(const ta_dump& dump) {
    std::vector<std::pair<std::string, std::string>> links;
    for (const auto& [id, node] : dump.nodes)
        if (node.kind == "cScopeFile")
            links.emplace_back(node.attributes.at("name"), dump.attribute(dump.parent(id), "name"));
    std::sort(links.begin(), links.end());
    return links;
}

std::vector<std::pair<std::string, std::string>> user_links(const ta_dump& dump) {
    auto links = scope_links(dump);
    links.erase(std::remove_if(links.begin(), links.end(),
                               [](const auto& link) { return link.first[0] == '/'; }),
                links.end());
    return links;
}

} // namespace

TEST(C2taScopes, FollowTheIncludeTreeInBothModes) {
    scratch_dir scratch;
    scratch.write("inc/twice.h", "int twice_counter;\n");
    scratch.write("inc/guarded.h",
                  "#ifndef G\n#define G\n#include \"twice.h\"\nstruct g { int x; };\n#endif\n");
    scratch.write("local.h", "#include \"near.h\"\n");
    scratch.write("near.h", "typedef int near_t;\n");
    scratch.write("main.c", "#include <stddef.h>\n#include \"local.h\"\n#include "
                            "\"twice.h\"\n#include \"guarded.h\"\n#include \"twice.h\"\n"
                            "#include \"guarded.h\"\nint main(void) { return twice_counter; }\n");
    run_result from_source = scratch.c2ta("-Iinc main.c");
    ASSERT_EQ(from_source.status, 0) << from_source.err;
    ta_dump dump = read_dump(from_source.out);

    std::string compilation = dump.only("cScopeCompil", "main.c");
    std::vector<std::string> top = dump.successors(compilation, "cArcSon");
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(dump.kind_of(top[0]), "cScopeFile");
    EXPECT_EQ(dump.attribute(top[0], "name"), "main.c");

    // twice.h is entered three times (twice from main.c, once from guarded.h);
    // the guarded header only once. Headers beside main.c are named without
    // a "./", as in the compiler's line markers.
    std::vector<std::pair<std::string, std::string>> expected{
        {"inc/guarded.h", "main.c"}, {"inc/twice.h", "inc/guarded.h"},
        {"inc/twice.h", "main.c"},   {"inc/twice.h", "main.c"},
        {"local.h", "main.c"},       {"main.c", "main.c"},
        {"near.h", "local.h"}};
    EXPECT_EQ(user_links(dump), expected);
    // Each entry declares the counter again, always under a twice.h scope.
    std::vector<std::string> counters = dump.find("cObject", "twice_counter");
    EXPECT_EQ(counters.size(), 3u);
    for (const std::string& counter : counters)
        EXPECT_EQ(dump.attribute(dump.parent(counter), "name"), "inc/twice.h");
    EXPECT_EQ(dump.attribute(dump.parent(dump.only("cAggrType", "g")), "name"), "inc/guarded.h");

    // The same unit preprocessed by the compiler gives the same scope tree,
    // system headers included, because the names come from its line markers.
    ASSERT_EQ(scratch.run("cc -E -Iinc main.c > main.cpp.c").status, 0);
    run_result from_markers = scratch.c2ta("main.cpp.c");
    ASSERT_EQ(from_markers.status, 0) << from_markers.err;
    ta_dump marked = read_dump(from_markers.out);
    EXPECT_EQ(user_links(marked), expected);
    std::string markers = scratch
                              .run("grep -o '^# [0-9]* \"/[^\"]*\" 1' main.cpp.c | sed "
                                   "'s/.*\"\\(.*\\)\".*/\\1/' | sort -u")
                              .out;
    std::string scopes;
    std::vector<std::string> names;
    for (const auto& link : scope_links(marked))
        if (link.first[0] == '/') names.push_back(link.first);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        scopes += name + "\n";
    EXPECT_EQ(scopes, markers);
}

TEST(C2taScopes, PreprocessedInputTakesFilesAndLinesFromLineMarkers) {
    scratch_dir scratch;
    scratch.write("m.cpp.c", "# 0 \"m.c\"\n"
                             "# 0 \"<built-in>\"\n"
                             "# 0 \"<command-line>\"\n"
                             "# 1 \"m.c\"\n"
                             "# 1 \"h.h\" 1\n"
                             "# 5 \"h.h\"\n"
                             "int x;\n"
                             "# 3 \"m.c\" 2\n"
                             "int f(void)\n"
                             "{\n"
                             "  return x;\n"
                             "}\n"
                             "# 40 \"gen.y\"\n"
                             "int g;\n");
    run_result result = scratch.c2ta("m.cpp.c");
    ASSERT_EQ(result.status, 0) << result.err;
    ta_dump dump = read_dump(result.out);
    dump.only("cScopeCompil", "m.c");
    std::string x = dump.only("cObject", "x");
    EXPECT_EQ(dump.attribute(dump.parent(x), "name"), "h.h");
    EXPECT_EQ(dump.attribute(x, "beg"), "5.1");
    std::string f = dump.only("cFunction", "f");
    EXPECT_EQ(dump.attribute(dump.parent(f), "name"), "m.c");
    EXPECT_EQ(dump.attribute(f, "beg"), "3.1");
    EXPECT_EQ(dump.attribute(f, "end"), "6.2");
    // A renamed section (#line) is a scope of its own inside the file.
    std::string g = dump.only("cObject", "g");
    std::string section = dump.parent(g);
    EXPECT_EQ(dump.attribute(section, "name"), "gen.y");
    EXPECT_EQ(dump.attribute(dump.parent(section), "name"), "m.c");
    EXPECT_EQ(dump.attribute(g, "beg"), "40.1");
}

// A header reached by two paths (include/a.h and src/../include/a.h) keeps the
// name of each path, as the compiler's line markers give it, whatever form
// the include directory takes on the command line.
TEST(C2taScopes, NamesMatchTheCompilersLineMarkers) {
    scratch_dir scratch;
    scratch.write("include/a.h", "#include \"sub/b.h\"\nint a_x;\n");
    scratch.write("include/sub/b.h", "int b_x;\n");
    scratch.write("src/c.h", "#include \"../include/sub/b.h\"\nint c_x;\n");
    scratch.write(
        "src/m.c",
        "#include \"a.h\"\n#include <sub/b.h>\n#include \"c.h\"\n#include \"../include/a.h\"\n"
        "int main(void) { return a_x + b_x + c_x; }\n");
    const std::string entered =
        "grep -E '^# [0-9]+ \"[^/<][^\"]*\" 1' | sed 's/^# [0-9]* \"\\([^\"]*\\)\".*/\\1/' | sort";
    for (const std::string& flag : std::vector<std::string>{
             "-Iinclude", "-Iinclude/", "-I./include", "-I " + scratch.dir() + "/include"}) {
        run_result markers = scratch.run("cc -E " + flag + " src/m.c | " + entered);
        ASSERT_EQ(markers.status, 0) << markers.err;
        run_result dump = scratch.c2ta(flag + " src/m.c");
        ASSERT_EQ(dump.status, 0) << dump.err;
        std::string names;
        for (const auto& link : user_links(read_dump(dump.out)))
            if (link.first != "src/m.c") names += link.first + "\n";
        EXPECT_EQ(names, markers.out) << flag;
    }
}
