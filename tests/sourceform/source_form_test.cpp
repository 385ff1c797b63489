// The source form of a small tree built here: facts, a measured header and a
// measured source written by hand the way the restructurer writes them. The
// result must hold the original text (a prototype spread over lines whole, macro
// chains with every branch), keep a configuration header and a header private to
// one source, split a macro-only header that includes a split one, and compile.
#include "source_form.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string get(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(SourceForm, SmallTreeKeepsTextConditionsAndPrivateHeadersAndCompiles) {
    fs::path root = fs::temp_directory_path() / ("sourceform-test-" + std::to_string(getpid()));
    fs::remove_all(root);
    const std::string t = (root / "tree").string();
    put(root / "tree/inc/cfg.h", "#define WIDE 1\n");
    put(root / "tree/inc/a.h", "#ifndef A_H\n"                     // 1
                               "#define A_H\n"                     // 2
                               "#include <stddef.h>\n"             // 3
                               "#include \"cfg.h\"\n"              // 4
                               "#define UNUSED 4\n"                // 5
                               "#ifdef BIG\n"                      // 6
                               "#define N 8\n"                     // 7
                               "#else\n"                           // 8
                               "#define N 2\n"                     // 9
                               "#endif\n"                          // 10
                               "#define LIMIT 5\n"                 // 11
                               "/* A pair of counts. */\n"         // 12
                               "struct s { int v[N + LIMIT]; };\n" // 13
                               "int f(int x,\n"                    // 14
                               "      int y);\n"                   // 15
                               "int h(void);\n"                    // 16
                               "#endif\n");
    put(root / "tree/inc/mid.h", "#include \"a.h\"\n#define MID 3\n");
    put(root / "tree/inc/tab.h", "static const int tab[] = { TABSIZE };\n");
    put(root / "tree/x.c", "#define TABSIZE 7\n"                    // 1
                           "#define LIMIT 9\n"                      // 2
                           "#include \"mid.h\"\n"                   // 3
                           "#include \"cfg.h\"\n"                   // 4
                           "#include \"tab.h\"\n"                   // 5
                           "int g(void) { struct s v; v.v[0] = 0; " // 6
                           "return f(MID, WIDE) + tab[0] + v.v[0] + (int)sizeof v; }\n");
    put(root / "tree/x.rsf",
        "-1 file:" + t + "/x.cpp.c file:" + t + "/inc/mid.h\n" + "-1 file:" + t +
            "/inc/mid.h file:" + t + "/inc/a.h\n" + "-1 file:" + t + "/inc/a.h file:" + t +
            "/inc/cfg.h\n" + "-1 file:" + t + "/inc/a.h file:/usr/include/stddef.h\n" +
            "-1 file:" + t + "/x.cpp.c file:" + t + "/inc/cfg.h\n" + "-1 file:" + t +
            "/x.cpp.c file:" + t + "/inc/tab.h\n" + "0 func:g " + t + "/x.cpp.c:6.1:6.90\n" +
            "1 struct:s " + t + "/inc/a.h:13.1:13.30\n" + "1 func:f " + t +
            "/inc/a.h:14.1:14.30\n" + "1 func:h " + t + "/inc/a.h:16.1:16.12\n" +
            "0 var:tab:static:" + t + "/x.cpp.c " + t + "/inc/tab.h:1.1:1.30\n");
    put(root / "work/include.new/1.h", "#ifndef HEADER_1\n#define HEADER_1\n#line 13 \"" + t +
                                           "/inc/a.h\"\nstruct s { int v[2 + 5]; };\n#line 14 \"" +
                                           t + "/inc/a.h\"\nint f(int x, int y);\n#endif\n");
    put(root / "tree/x.cpp.new.c",
        "#include \"" + (root / "work/include.new/1.h").string() + "\"\n#line 1 \"" + t +
            "/inc/tab.h\"\nstatic const int tab[] = { 7 };\n#line 16 \"" + t +
            "/inc/a.h\"\nint h(void);\n#line 6 \"" + t + "/x.cpp.c\"\nint g(void) { return 0; }\n");
    fs::copy(root / "tree", root / "out", fs::copy_options::recursive);

    source_form_input input;
    input.tree = t;
    input.out = (root / "out").string();
    input.new_headers = {(root / "work/include.new/1.h").string()};
    input.units.push_back({t + "/x.c", t + "/x.rsf", t + "/x.cpp.new.c", {t + "/inc"}, t});
    source_form_result result = write_source_form(input);
    EXPECT_TRUE(result.problems.empty());

    ASSERT_EQ(result.names.size(), 1u);
    const std::string header = result.names.begin()->second;
    EXPECT_EQ(header, "inc/a_decls.h");
    std::string decls = get(root / "out" / header);
    EXPECT_NE(decls.find("/* A pair of counts. */\nstruct s { int v[N + LIMIT]; };\n"),
              std::string::npos)
        << decls;
    EXPECT_NE(decls.find("int f(int x,\n      int y);\n"), std::string::npos)
        << "the prototype is cut whole although its fact ends on its first line\n"
        << decls;
    EXPECT_NE(decls.find("#include <stddef.h>"), std::string::npos) << decls;
    EXPECT_NE(decls.find("#include \"a_macros.h\""), std::string::npos) << decls;

    std::string macros = get(root / "out/inc/a_macros.h");
    EXPECT_NE(macros.find("#ifdef BIG\n#define N 8\n#else\n#define N 2\n#endif\n"),
              std::string::npos)
        << macros;
    EXPECT_EQ(macros.find("UNUSED"), std::string::npos) << macros;
    EXPECT_NE(macros.find("#ifndef LIMIT\n#define LIMIT 5\n#endif\n"), std::string::npos)
        << "x.c defines LIMIT itself before its includes\n"
        << macros;

    std::string source = get(root / "out/x.c");
    EXPECT_EQ(source.find("#include \"mid.h\""), std::string::npos) << source;
    EXPECT_NE(source.find("#include \"mid_macros.h\""), std::string::npos) << source;
    EXPECT_NE(source.find("#include \"cfg.h\""), std::string::npos) << "kept header\n" << source;
    EXPECT_NE(source.find("#include \"tab.h\""), std::string::npos) << "private header\n" << source;
    EXPECT_EQ(source.find("static const int tab[] = { TABSIZE };"), std::string::npos) << source;
    EXPECT_NE(source.find("#include \"a_decls.h\""), std::string::npos) << source;
    EXPECT_EQ(result.no_longer_included, (std::vector<std::string>{"inc/a.h", "inc/mid.h"}));
    // The declaration only x.c uses is written into it, and its lines are told
    // apart from the source's own.
    ASSERT_EQ(result.header_text_lines.count("x.c"), 1u);
    auto [first, last] = result.header_text_lines["x.c"];
    std::istringstream lines(source);
    std::string line, copied;
    for (int n = 1; std::getline(lines, line); ++n)
        if (n >= first && n <= last) copied += line + "\n";
    EXPECT_EQ(copied, "int h(void);\n") << first << "-" << last << "\n" << source;

    for (const char* flags : {"", "-DBIG"}) {
        std::string command = "cc -c -Wall -Werror " + std::string(flags) + " -I'" +
                              (root / "out/inc").string() + "' '" + (root / "out/x.c").string() +
                              "' -o '" + (root / "x.o").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command << "\n" << source << decls << macros;
    }
    fs::remove_all(root);
}
