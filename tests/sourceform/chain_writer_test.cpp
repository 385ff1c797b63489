// Writing blocks inside their original chains of conditions.
#include "chain_writer.h"

#include <gtest/gtest.h>

TEST(ChainWriter, BlocksShareOpenChainsAndContinueLaterBranches) {
    original_file f("a.h", "#if A\n"    // 1
                           "int a;\n"   // 2
                           "#ifdef B\n" // 3
                           "int b;\n"   // 4
                           "#endif\n"   // 5
                           "#elif C\n"  // 6
                           "int c;\n"   // 7
                           "#else\n"    // 8
                           "int d;\n"   // 9
                           "#endif\n"   // 10
                           "int e;\n"); // 11
    chain_writer w;
    w.write(f, f.conditions_at(2), "int a;\n");
    w.write(f, f.conditions_at(4), "int b;\n");
    w.write(f, f.conditions_at(9), "int d;\n");
    w.write(f, f.conditions_at(11), "int e;\n", true);
    EXPECT_EQ(w.finish(), "#if A\nint a;\n#ifdef B\nint b;\n#endif\n#elif C\n#else\nint d;\n"
                          "#endif\n\nint e;\n")
        << "a block set apart gets its blank line after the chains it closes";
}

TEST(ChainWriter, ALaterBlockOfAnEarlierBranchReopensTheChain) {
    original_file f("a.h", "#if A\nint a;\n#else\nint b;\n#endif\n");
    original_file g("g.h", "#if A\nint g;\n#endif\n");
    chain_writer w;
    w.write(f, f.conditions_at(4), "int b;\n");
    w.write(f, f.conditions_at(2), "int a;\n", true);
    w.write(g, g.conditions_at(2), "int g;\n");
    w.write_plain("int p;\n");
    EXPECT_EQ(w.finish(), "#if A\n#else\nint b;\n#endif\n\n#if A\nint a;\n#endif\n"
                          "#if A\nint g;\n#endif\nint p;\n")
        << "a chain of another file is never shared, even with the same condition";
}
