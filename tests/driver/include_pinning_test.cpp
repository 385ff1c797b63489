#include "include_pinning.h"
#include "progress.h"

#include <filesystem>
#include <fstream>
#include "fresh_temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(IncludePinning, QuotedIncludesOfNewHeadersBecomeAbsolute) {
    fs::path root = fresh_temp_dir("hdrslim-pinning");
    fs::remove_all(root);
    fs::create_directories(root / "shared");
    fs::create_directories(root / "mod");
    std::ofstream(root / "shared" / "3.h") << "int x;\n";
    std::ofstream(root / "shared" / "5.h") << "int y;\n";
    std::ofstream(root / "mod" / "5.h") << "int z;\n";
    std::vector<std::string> dirs = {(root / "mod").string(), (root / "shared").string()};

    std::string text = "#include \"3.h\"\n"
                       "  #  include \"5.h\" /* first directory wins */\n"
                       "#include <stdio.h>\n"
                       "#include \"missing.h\"\n"
                       "#include \"/abs/kept.h\"\n"
                       "int v; /* #include \"3.h\" in a comment line is code, not a directive */\n"
                       "# 12 \"/src/a.c\"\n"
                       "int last;";
    std::string pinned = pin_includes(text, dirs);
    EXPECT_EQ(pinned,
              "#include \"" + (root / "shared" / "3.h").string() + "\"\n" + "  #  include \"" +
                  (root / "mod" / "5.h").string() +
                  "\" /* first directory wins */\n"
                  "#include <stdio.h>\n"
                  "#include \"missing.h\"\n"
                  "#include \"/abs/kept.h\"\n"
                  "int v; /* #include \"3.h\" in a comment line is code, not a directive */\n"
                  "# 12 \"/src/a.c\"\n"
                  "int last;");

    fs::path file = root / "a.cpp.new.c";
    std::ofstream(file) << "#include \"3.h\"\nint main(void) { return 0; }\n";
    ASSERT_TRUE(pin_file_includes(file.string(), dirs));
    std::ifstream in(file);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "#include \"" + (root / "shared" / "3.h").string() + "\"");
    EXPECT_FALSE(pin_file_includes((root / "none.c").string(), dirs));
    fs::remove_all(root);
}

TEST(Progress, PlainLinesOffATerminalAndNothingWhenQuiet) {
    testing::internal::CaptureStderr();
    {
        progress lines(progress::style::lines);
        lines.start_phase("units", 20);
        for (int i = 0; i < 20; ++i)
            lines.advance();
        lines.message("hdrslim: a.c: parse failed");
        lines.finish_phase();
    }
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("hdrslim: units (20)\n", 0), 0u) << printed;
    // One line per tenth, not one per unit.
    EXPECT_NE(printed.find("hdrslim: units 2/20\n"), std::string::npos);
    EXPECT_NE(printed.find("hdrslim: units 18/20\n"), std::string::npos);
    EXPECT_EQ(printed.find("hdrslim: units 3/20\n"), std::string::npos);
    EXPECT_NE(printed.find("hdrslim: a.c: parse failed\n"), std::string::npos);
    EXPECT_NE(printed.find("hdrslim: units done in "), std::string::npos);

    testing::internal::CaptureStderr();
    {
        progress quiet(progress::style::quiet);
        quiet.start_phase("units", 3);
        quiet.advance(3);
        quiet.finish_phase();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    {
        progress bar(progress::style::bar);
        bar.start_phase("measure", 4);
        bar.advance(2);
    }
    printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("measure"), std::string::npos);
    EXPECT_NE(printed.find("[###############...............] 2/4"), std::string::npos) << printed;
}
