// Header naming, include names, forward declarations, and the whole text of
// "Makefile.gen" for a small compressed graph.
#include "header/graph.h"

#include "support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace test_support;

namespace {
bool is_dir(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

// A node that names itself as an include line would, <...>.
class system_style : public Header {
  public:
    explicit system_style(std::string file) : Header(""), file_(std::move(file)) {}
    std::string get_filename() const override { return file_; }

  private:
    std::string file_;
};

node group(int id, std::vector<node> members) {
    auto* h = make_node<Header>("");
    h->members = node_set(members.begin(), members.end());
    return node(id, h);
}

node implementation_file(int id, const std::string& path, std::vector<node> members) {
    auto* f = make_node<Implement>(path);
    f->members = std::move(members);
    return node(id, f);
}

std::string read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(HeaderNaming, NumberedHeadersByModules) {
    in_temp_dir here;
    graph g;
    node shared = group(17, {unit(1, "type:a")});
    node single = group(5, {unit(2, "type:b")});
    node definitions = group(6, {unit(3, "func:f", true)});
    node unused = group(8, {unit(4, "type:c")});
    g.modules_of[shared] = {"lib", "src"};
    g.modules_of[single] = {"net"};
    g.modules_of[definitions] = {"net"};
    here.dir().mkdir("net");
    EXPECT_EQ(g.get_header_name(shared), "include.new/17.h");
    EXPECT_EQ(g.get_header_name(single), "net/include.new/5.h");
    EXPECT_EQ(g.get_header_name(definitions), "net/include.new/6.c");
    EXPECT_EQ(g.get_header_name(unused), ""); // no module: no header
    EXPECT_EQ(g.header_dirs, (std::set<std::string>{"include.new/", "net/include.new/"}));
    EXPECT_TRUE(is_dir("include.new") && is_dir("net/include.new"));

    // A name with a directory part: only the module's include.new/ is made.
    node sub = group(9, {implementation_file(3, "sub/x.h", {})});
    g.modules_of[sub] = {"m"};
    here.dir().mkdir("m");
    EXPECT_EQ(g.get_header_name(sub), "m/include.new/sub/x.new.h");
    EXPECT_TRUE(is_dir("m/include.new") && !is_dir("m/include.new/sub"));

    // Absolute names get no new header and create nothing.
    node absolute = group(10, {implementation_file(4, "/usr/x.c", {})});
    g.modules_of[absolute] = {"m"};
    EXPECT_EQ(g.get_header_name(absolute), "");
    EXPECT_EQ(g.header_dirs.size(), 3u);
}

TEST(HeaderNaming, ALinkInThePlaceOfIncludeNewIsReplaced) {
    in_temp_dir here;
    const std::string elsewhere = here.dir().mkdir("elsewhere");
    here.dir().mkdir("net");
    ASSERT_EQ(symlink(elsewhere.c_str(), "net/include.new"), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), "include.new"), 0);
    graph g;
    node single = group(5, {unit(2, "type:b")});
    g.modules_of[single] = {"net"};
    EXPECT_EQ(g.get_header_name(single), "net/include.new/5.h");
    EXPECT_EQ(g.get_header_name(node(1, make_node<system_style>("<sys/types.h>"))),
              "include.new/sys/types.h");
    struct stat s;
    ASSERT_EQ(lstat("net/include.new", &s), 0);
    EXPECT_TRUE(S_ISDIR(s.st_mode));
    // The link is gone; include.new/sys is not made without its parent.
    EXPECT_NE(lstat("include.new", &s), 0);
    EXPECT_FALSE(is_dir(elsewhere + "/sys"));
}

TEST(HeaderNaming, SystemStyleNames) {
    in_temp_dir here;
    graph g;
    // include.new does not exist yet: the request for include.new/sys fails
    // silently, and the name and directory are still given.
    EXPECT_EQ(g.get_header_name(node(1, make_node<system_style>("<sys/types.h>"))),
              "include.new/sys/types.h");
    EXPECT_FALSE(is_dir("include.new/sys"));
    EXPECT_EQ(g.get_header_name(node(2, make_node<system_style>("<stdio.h>"))),
              "include.new/stdio.h");
    EXPECT_TRUE(is_dir("include.new"));
    EXPECT_EQ(g.header_dirs, (std::set<std::string>{"include.new/", "include.new/sys"}));
}

TEST(HeaderNaming, IncludeNamesAndForwardTypes) {
    clean_options options;
    temp_dir dir;
    const std::string inc = dir.mkdir("inc");
    char resolved[4096];
    const std::string real_inc = realpath(inc.c_str(), resolved);
    EXPECT_EQ(graph::get_new_header_filename("/usr/include/stdio.h"), "/usr/include/stdio.h");
    EXPECT_EQ(graph::get_new_header_filename("sub/x.h"), "sub/x.h");
    graph::include_dirs = {"/usr/include", dir.path() + "/missing", inc};
    {
        captured_stdout out;
        EXPECT_EQ(graph::get_new_header_filename("</usr/include/stdio.h>"), "stdio.h");
        EXPECT_EQ(graph::get_new_header_filename(real_inc + "/a/b.h"), "a/b.h");
        EXPECT_EQ(graph::get_new_header_filename("/elsewhere/c.h"), "/elsewhere/c.h");
        // The missing directory is reported whenever it is visited.
        EXPECT_EQ(out.text(), "Warning: file " + dir.path() +
                                  "/missing does not exist!\n"
                                  "Warning: file " +
                                  dir.path() + "/missing does not exist!\n");
    }
    EXPECT_EQ(graph::get_forward_type("struct:list#2"), "struct list;\n");
    EXPECT_EQ(graph::get_forward_type("union:u"), "union u;\n");
}

TEST(Makefile, WholeTextForSmallCompressedGraph) {
    in_temp_dir here;
    here.dir().mkdir("net");
    here.dir().mkdir("app");
    graph g;
    g.compressed = std::make_unique<graph>();
    graph& c = *g.compressed;
    node buf = implementation_file(3, "net/buf.cpp.c", {unit(30, "func:put", true)});
    node main_file = implementation_file(4, "app/main.cpp.c", {unit(31, "func:main", true)});
    node idle = implementation_file(5, "app/idle.cpp.c", {unit(32, "type:t")});
    node both = group(0, {unit(10, "type:shared")});
    node net_only = group(1, {unit(11, "struct:packet")});
    node nobody = group(2, {unit(12, "type:nobody")});
    c.nodes = {both, net_only, nobody, buf, main_file, idle};
    c.edges = {edge(both, buf), edge(both, main_file), edge(net_only, buf)};
    g.construct_module_dependences();
    EXPECT_EQ(g.module_dirs, (std::set<std::string>{"app", "net"}));
    EXPECT_EQ(g.modules_of[nobody], (std::set<std::string>{}));
    g.write_makefile();
    EXPECT_EQ(read("Makefile.gen"), read(GOLDEN_DIR "/makefile_small.gen"));
    struct stat s;
    ASSERT_EQ(stat("Makefile.gen", &s), 0);
    EXPECT_EQ(s.st_mode & 0111, 0u); // written as a plain data file
}

TEST(Makefile, NoSourcesNoModules) {
    in_temp_dir here;
    graph g;
    g.compressed = std::make_unique<graph>();
    g.construct_module_dependences();
    g.write_makefile();
    const std::string text = read("Makefile.gen");
    EXPECT_EQ(text.substr(0, 8), "SRCS = \n");
    EXPECT_NE(text.find("\n.c.o:\n\t${CC} -c  -Iinclude.new $< -o $@\n"), std::string::npos);
}
