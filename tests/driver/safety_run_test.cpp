// The driver on hostile projects, with the real tools: links out of the project,
// links named like the files hdrslim writes, flags that write dependency files,
// read-only modes. Nothing outside the output directory may change, byte for
// byte; bad input stops before anything runs; the marker and the exit status
// say how a run ended.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Every entry with its type, mode, modification time and link target, and the
// md5 sum of every file.
std::string fingerprint(const fs::path& dir) {
    fs::path out = dir.string() + ".fingerprint";
    run("cd '" + dir.string() + "' && { find . -printf '%y %p %m %T@ %l\\n' | LC_ALL=C sort; " +
        "find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r md5sum; } > '" + out.string() +
        "'");
    std::string text = read(out);
    fs::remove(out);
    return text;
}

class SafetyRun : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fresh_temp_dir(
            "hdrslim-safety-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        clean();
        fs::create_directories(root);
    }
    void TearDown() override { clean(); }
    void clean() {
        if (fs::exists(root)) run("chmod -R u+w '" + root.string() + "'");
        fs::remove_all(root);
    }
    // hdrslim with `args`; its output goes to `printed`.
    int hdrslim(const std::string& args) {
        int status = run(std::string(HDRSLIM_BIN) + " run --quiet " + args + " > '" +
                         (root / "printed.txt").string() + "' 2>&1");
        printed = read(root / "printed.txt");
        return status;
    }
    std::string marker(const std::string& out) { return read(root / out / ".hdrslim-output"); }
    // A two-unit project whose Makefile makes `prog`, printing "2".
    fs::path small_project(const std::string& name) {
        fs::path dir = root / name;
        fs::create_directories(dir);
        std::ofstream(dir / "lib.h") << "int lib(void);\n";
        std::ofstream(dir / "lib.c") << "#include \"lib.h\"\nint lib(void) { return 2; }\n";
        std::ofstream(dir / "main.c") << "#include <stdio.h>\n#include \"lib.h\"\n"
                                      << "int main(void) { printf(\"%d\\n\", lib()); }\n";
        std::ofstream(dir / "Makefile") << "prog: main.c lib.c lib.h\n\tcc -o prog main.c lib.c\n";
        return dir;
    }
    fs::path root;
    std::string printed;
};

} // namespace

TEST_F(SafetyRun, NothingOutsideTheOutputDirectoryChanges) {
    fs::path shop = root / "shop", outside = root / "outside";
    fs::copy(fs::path(EXAMPLES_DIR) / "shop", shop, fs::copy_options::recursive);
    fs::create_directories(outside / "incl");
    for (const char* name : {"keep.txt", "main.cpp.c", "item.cpp.new.c", "stock.ta.part"})
        std::ofstream(outside / name) << "outside " << name << "\n";
    // The build writes through a link out of the project, and its compiles write
    // dependency files through -Wp,-MMD.
    std::string makefile = read(shop / "Makefile");
    makefile.replace(makefile.find("\t$(CC) $(CFLAGS) -o $@ $(OBJS)\n"),
                     std::string("\t$(CC) $(CFLAGS) -o $@ $(OBJS)\n").size(),
                     "\t$(CC) $(CFLAGS) -o $@ $(OBJS)\n\techo built >> vendor/stamp.txt\n");
    makefile.replace(makefile.find("CPPFLAGS += -Iinclude"),
                     std::string("CPPFLAGS += -Iinclude").size(),
                     "CPPFLAGS += -Iinclude -Wp,-MMD,$(@:.o=.d)");
    std::ofstream(shop / "Makefile") << makefile;
    fs::create_symlink(outside, shop / "vendor");
    // Links named like the files the tools write, absolute and relative.
    fs::create_symlink("../outside/main.cpp.c", shop / "main.cpp.c");
    fs::create_symlink(outside / "item.cpp.new.c", shop / "store" / "item.cpp.new.c");
    fs::create_symlink(outside / "stock.ta.part", shop / "store" / "stock.ta.part");
    fs::create_symlink(outside / "incl", shop / "report" / "include.new");
    // A link inside the project stays a link inside the copy, and the files
    // named like outputs are made anew rather than written through the links.
    fs::create_symlink("include/version.h", shop / "version-link.h");
    fs::create_symlink("../include/item.h", shop / "store" / "stock.rsf");
    fs::create_symlink("../include/common.h", shop / "report" / "format.cpp.c");
    fs::create_symlink("../include", shop / "store" / "include.new");
    // The project's own compile commands, for the second run: their dependency
    // and profile flags name files inside the project.
    std::string dir = shop.string();
    std::ofstream db(shop / "compile_commands.json");
    db << "[";
    const char* sources[] = {"main.c", "store/item.c", "store/stock.c", "report/report.c",
                             "report/format.c"};
    for (const char* source : sources)
        db << (source == sources[0] ? "" : ",") << "{\"directory\": \"" << dir << "\", \"file\": \""
           << source << "\", \"arguments\": [\"cc\", \"-Iinclude\", "
           << "\"-Wp,-MMD," << dir << "/wp.d\", \"-MD\", \"-MF\", \"" << dir << "/mf.d\", "
           << "\"--save-temps\", \"-fprofile-generate=" << dir << "/prof\", \"-ftest-coverage\", "
           << "\"-c\", \"-o\", \"x.o\", \"" << source << "\"]}";
    db << "]";
    db.close();
    ASSERT_EQ(run("chmod -R a-w '" + shop.string() + "'"), 0);

    const std::string shop_before = fingerprint(shop), outside_before = fingerprint(outside);
    ASSERT_EQ(hdrslim("--build make --check 'make -s check' --out '" + (root / "out").string() +
                      "' '" + dir + "'"),
              0)
        << printed;
    EXPECT_NE(printed.find("copied vendor -> " + outside.string()), std::string::npos) << printed;
    EXPECT_EQ(read(root / "out" / "tree" / "vendor" / "stamp.txt"), "built\n");
    EXPECT_EQ(fs::read_symlink(root / "out" / "tree" / "version-link.h"), "include/version.h");
    std::set<std::string> headers;
    for (const auto& entry : fs::directory_iterator(root / "out" / "tree" / "include")) {
        std::string name = entry.path().filename().string();
        headers.insert(name);
        EXPECT_EQ(read(entry.path()), read(shop / "include" / name)) << name;
    }
    EXPECT_EQ(headers, (std::set<std::string>{"common.h", "item.h", "report.h", "version.h"}));
    // The copy is writable by its owner whatever the project's modes.
    for (const auto& entry : fs::recursive_directory_iterator(root / "out" / "tree")) {
        struct stat st;
        ASSERT_EQ(lstat(entry.path().c_str(), &st), 0);
        if (!S_ISLNK(st.st_mode)) {
            EXPECT_TRUE(st.st_mode & S_IWUSR) << entry.path() << " is not writable";
        }
    }

    ASSERT_EQ(hdrslim("-j 2 --out '" + (root / "out2").string() + "' '" + dir + "'"), 0) << printed;

    EXPECT_EQ(fingerprint(shop), shop_before) << "the project was changed";
    EXPECT_EQ(fingerprint(outside), outside_before) << "a directory outside was changed";
}

TEST_F(SafetyRun, CopyKeepsModificationTimes) {
    // The generated file is newer than its source, as in a distribution tarball;
    // were the copy to give both the time of copying, make would run the
    // generator (here: one that is not installed) again.
    fs::path dir = small_project("gen");
    std::ofstream(dir / "Makefile") << "prog: main.c lib.c gen.c\n\tcc -o prog main.c lib.c\n"
                                    << "gen.c: gen.y\n\tno-such-generator gen.y\n";
    std::ofstream(dir / "gen.y") << "%%\n";
    std::ofstream(dir / "gen.c") << "int generated;\n";
    run("touch -d '2020-01-01 00:00' '" + (dir / "gen.y").string() + "'");
    EXPECT_EQ(
        hdrslim("--build make --out '" + (root / "out").string() + "' '" + dir.string() + "'"), 0)
        << printed;
    EXPECT_EQ(fs::last_write_time(root / "out" / "tree" / "gen.y"),
              fs::last_write_time(dir / "gen.y"));
}

TEST_F(SafetyRun, BadInputStopsBeforeAnythingRuns) {
    fs::path dir = small_project("proj");
    std::string out = (root / "out").string();
    auto with_db = [&](const std::string& text) {
        std::ofstream(dir / "compile_commands.json") << text;
        return hdrslim("--out '" + out + "' '" + dir.string() + "'");
    };
    EXPECT_EQ(with_db("[{\"directory\": \"/\", "), 2);
    EXPECT_NE(printed.find("is not a JSON array"), std::string::npos) << printed;
    EXPECT_EQ(with_db(""), 2);
    EXPECT_EQ(with_db("[]"), 2);
    EXPECT_NE(printed.find("names no C source"), std::string::npos) << printed;
    EXPECT_EQ(with_db("[{\"directory\": \"" + dir.string() +
                      "\", \"file\": \"x.cc\", \"command\": \"c++ -c x.cc\"}]"),
              2);
    EXPECT_FALSE(fs::exists(out));

    // No C file at all: the build is not even run.
    fs::path none = root / "none";
    fs::create_directories(none);
    std::ofstream(none / "Makefile") << "all:\n\ttouch built\n";
    EXPECT_EQ(hdrslim("--build make --out '" + out + "' '" + none.string() + "'"), 2);
    EXPECT_NE(printed.find("holds no C source"), std::string::npos) << printed;
    EXPECT_FALSE(fs::exists(out));

    EXPECT_EQ(hdrslim("--build make --out '" + out + "' '" + (dir / "main.c").string() + "'"), 2);
    EXPECT_NE(printed.find("is not a directory"), std::string::npos) << printed;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(SafetyRun, TheMarkerSaysWhereARunFailedOrWasInterrupted) {
    // A link out to a directory holding the project cannot be copied by content.
    fs::path dir = small_project("proj");
    fs::create_symlink("..", dir / "up");
    EXPECT_EQ(
        hdrslim("--build make --out '" + (root / "out").string() + "' '" + dir.string() + "'"), 2);
    EXPECT_NE(printed.find("the link up points at"), std::string::npos) << printed;
    EXPECT_NE(marker("out").find("state: failed during copy: the link up"), std::string::npos)
        << marker("out");
    fs::remove(dir / "up");

    // Ctrl-C during the build reaches hdrslim and the whole build.
    std::ofstream(dir / "Makefile") << "prog: main.c\n\ttouch started\n\tsleep 30\n";
    std::string out = (root / "out2").string();
    // Job control gives hdrslim its own process group, as a terminal would.
    std::ofstream(root / "interrupt.sh")
        << "set -m\n"
        << HDRSLIM_BIN << " run --quiet --build make --out '" << out << "' '" << dir.string()
        << "' > /dev/null 2>&1 &\npid=$!\n"
        << "for i in $(seq 200); do [ -f '" << out
        << "/tree/started' ] && break; sleep 0.05; done\n"
        << "kill -INT -$pid\nwait $pid\n";
    int status = run("bash '" + (root / "interrupt.sh").string() + "'");
    EXPECT_EQ(status, 128 + SIGINT);
    EXPECT_NE(marker("out2").find("state: interrupted during build"), std::string::npos)
        << marker("out2");
}

TEST_F(SafetyRun, ACheckThatPrintsSomethingElseAfterwardsFails) {
    fs::path dir = small_project("proj");
    // The path of the copy differs between the two checks and is not a difference.
    EXPECT_EQ(hdrslim("--build make --check 'pwd; make -w -s prog; ./prog' --out '" +
                      (root / "out").string() + "' '" + dir.string() + "'"),
              0)
        << printed;
    // The rebuilt copy holds the rewritten source in place of main.c: a check
    // printing its size passes twice and prints something else.
    EXPECT_EQ(hdrslim("--build make --check 'echo start; wc -c < main.c' --out '" +
                      (root / "out2").string() + "' '" + dir.string() + "'"),
              1)
        << printed;
    std::string size = std::to_string(fs::file_size(dir / "main.c"));
    EXPECT_NE(printed.find("printed different output; line 2: before \"" + size + "\" / after \""),
              std::string::npos)
        << printed;
    std::ifstream in(root / "out2" / "report.json");
    nlohmann::json report = nlohmann::json::parse(in);
    EXPECT_EQ(report["check"]["before"], "passed");
    EXPECT_EQ(report["check"]["after"], "passed");
    EXPECT_FALSE(report["check"]["same_output"].get<bool>());
}

TEST_F(SafetyRun, AFailedUnitIsReportedWithItsCause) {
    // gcc accepts nested functions, libclang does not: the parse step fails and
    // its log holds libclang's message.
    fs::path dir = small_project("proj");
    std::ofstream(dir / "nested.c") << "int g(void) { int f(void) { return 1; } return f(); }\n";
    std::ofstream(dir / "with blank.c") << "int h(void) { return 2; }\n";
    // A header whose path holds a blank: its facts are dropped, so the unit
    // that includes it is not restructured (it would lose the header's type).
    fs::create_directory(dir / "inc dir");
    std::ofstream(dir / "inc dir" / "shape.h") << "typedef struct { int w; } shape;\n";
    std::ofstream(dir / "uses_shape.c")
        << "#include \"shape.h\"\nint area(void) { shape s = {2}; return s.w; }\n";
    std::ofstream(dir / "Makefile")
        << "prog: main.c lib.c nested.c with\\ blank.c uses_shape.c\n"
        << "\tcc -o prog -I'inc dir' main.c lib.c nested.c 'with blank.c' uses_shape.c\n";
    EXPECT_EQ(
        hdrslim("--build make --out '" + (root / "out").string() + "' '" + dir.string() + "'"), 1)
        << printed;
    std::ifstream in(root / "out" / "report.json");
    nlohmann::json report = nlohmann::json::parse(in);
    std::map<std::string, nlohmann::json> failures;
    for (const auto& f : report["failures"])
        failures[f["unit"].get<std::string>()] = f;
    ASSERT_TRUE(failures.count("nested.c")) << printed;
    EXPECT_EQ(failures["nested.c"]["step"], "parse");
    EXPECT_NE(failures["nested.c"]["message"], "(no message)");
    EXPECT_TRUE(fs::exists(failures["nested.c"]["log"].get<std::string>()));
    ASSERT_TRUE(failures.count("with blank.c")) << printed;
    EXPECT_NE(failures["with blank.c"]["message"].get<std::string>().find("white space"),
              std::string::npos);
    ASSERT_TRUE(failures.count("uses_shape.c")) << printed;
    EXPECT_EQ(failures["uses_shape.c"]["step"], "paths");
    EXPECT_NE(failures["uses_shape.c"]["message"].get<std::string>().find("inc dir/shape.h"),
              std::string::npos)
        << failures["uses_shape.c"]["message"];
    EXPECT_FALSE(failures.count("main.c"));
}
