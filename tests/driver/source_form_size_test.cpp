// The source form's size on a project built here, with the real tools: a macro
// defined in a condition (a prefix switch) that the source uses only in a branch
// no unit compiled brings what it needs in that branch alone, so the source reads
// no more project-header text than in the measured form.
#include "fresh_temp_dir.h"
#include "shell_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

TEST(SourceFormSize, AMacroUsedOnlyInAnInactiveBranchBringsNoDeclarationsOutsideIt) {
    fs::path root = fresh_temp_dir("hdrslim-source-size");
    fs::path p = root / "p";
    fs::create_directories(p);
    std::ofstream(p / "lib.h") << "#ifndef LIB_H\n#define LIB_H\n"
                                  "#ifdef PREFIX\n#define init(x) p_init_(x)\n"
                                  "#else\n#define init(x) init_(x)\n#endif\n"
                                  "struct state { int a; int b; int c; };\n"
                                  "int init_(int x);\n"
                                  "int step(struct state *s);\n"
                                  "int other(void);\n#endif\n";
    std::ofstream(p / "x.c") << "#include \"lib.h\"\n"
                                "#ifdef SOLO\nint solo(void) { return init(1); }\n#endif\n"
                                "int main(void) { return other(); }\n";
    std::ofstream(p / "y.c")
        << "#include \"lib.h\"\n"
           "int init_(int x) { struct state s = {x, 0, 0}; return step(&s); }\n"
           "int step(struct state *s) { return s->a - 1; }\n"
           "int other(void) { return init(1); }\n";
    std::ofstream(p / "Makefile") << "prog: x.o y.o\n\tcc -o prog x.o y.o\n";
    ASSERT_EQ(run(std::string(HDRSLIM_BIN) + " run --quiet --build make --check ./prog --out '" +
                  (root / "out").string() + "' '" + p.string() + "' > '" + (root / "log").string() +
                  "' 2>&1"),
              0)
        << read(root / "log");
    nlohmann::json report = nlohmann::json::parse(read(root / "out" / "report.json"));
    int units = 0;
    for (const auto& unit : report["source_form"]["units"]) {
        if (unit["name"] != "x.c") continue;
        ++units;
        EXPECT_LE(unit["project_source"].get<long>(), unit["project_measured"].get<long>())
            << unit << read(root / "out" / "source" / "x.c");
    }
    EXPECT_EQ(units, 1);
    // Built with SOLO, the source form's x.c still finds what init needs.
    EXPECT_EQ(run("cd '" + (root / "out" / "source").string() +
                  "' && cc -DSOLO -c x.c -o /dev/null 2>&1"),
              0)
        << read(root / "out" / "source" / "x.c");
    if (!HasFailure()) fs::remove_all(root);
}
