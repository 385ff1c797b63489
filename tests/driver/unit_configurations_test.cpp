#include "unit_configurations.h"

#include <gtest/gtest.h>

using macros = std::map<std::string, std::string>;

TEST(UnitConfigurations, ReadsTheMacrosOfACommandLineInOrder) {
    EXPECT_EQ(command_line_macros({"-O2", "-DA", "-D", "B=2", "-DC=x y", "-I/p", "-DD=1", "-UD",
                                   "-UE", "-dD", "-DA=3"}),
              (macros{{"A", "3"}, {"B", "2"}, {"C", "x y"}}));
    EXPECT_TRUE(command_line_macros({"-D"}).empty());
}

TEST(UnitConfigurations, GuardHoldsForTheFirstAndFailsForEachOther) {
    // A macro only one side defines tells them apart, whichever side.
    EXPECT_EQ(configuration_guard({{"LEVEL", "1"}}, {{{"LEVEL", "1"}, {"THREADS", "1"}}}),
              "!defined(THREADS)");
    EXPECT_EQ(configuration_guard({{"THREADS", "1"}}, {{}}), "defined(THREADS)");
    // Integer values are compared; the first telling macro in name order is used,
    // and a term met for two configurations is written once.
    EXPECT_EQ(configuration_guard({{"B", "2"}, {"Z", "1"}},
                                  {{{"B", "3"}}, {{"B", "3"}, {"Z", "1"}}, {{"B", "2"}}}),
              "(defined(B) && B == 2) && defined(Z)");
    // Strings cannot be compared in #if, nor can configurations that differ in
    // nothing the command line defines.
    EXPECT_EQ(configuration_guard({{"NAME", "\"a\""}}, {{{"NAME", "\"b\""}}}), std::nullopt);
    EXPECT_EQ(configuration_guard({{"A", "1"}}, {{{"A", "1"}}}), std::nullopt);
    EXPECT_EQ(configuration_guard({{"A", "1"}}, {{{"A", "2"}}, {{"A", "1"}}}), std::nullopt);
}

TEST(UnitConfigurations, GuardedSourceKeepsTheOriginalLinesForTheOthers) {
    EXPECT_EQ(guarded_source("defined(A)", "#include \"0.h\"\nint f(void) { return 1; }",
                             "#include \"f.h\"\nint f(void) { return A; }\n"),
              "#if defined(A)\n#include \"0.h\"\nint f(void) { return 1; }\n#else\n#line 1\n"
              "#include \"f.h\"\nint f(void) { return A; }\n#endif\n");
}
