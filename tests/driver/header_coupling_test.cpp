// Which headers a unit is tied to: by the declarations its text holds, and by
// the headers its preprocessing reads.
#include "header_coupling.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(HeaderCoupling, HeadersCountOnlyForTheDeclarationsTheyGive) {
    fs::path file = fs::temp_directory_path() / "hdrslim-coupling-test.i";
    std::ofstream(file) << "# 1 \"/t/a.c\"\n"
                           "# 1 \"/t/inc/macros_only.h\" 1\n"
                           "\n\n"
                           "# 2 \"/t/a.c\" 2\n"
                           "# 1 \"/t/inc/types.h\" 1\n"
                           "struct s { int a; };\n"
                           "# 1 \"/usr/include/stdio.h\" 1 3 4\n"
                           "int printf(const char*, ...);\n"
                           "# 1 \"/w/include.new/3.h\" 1\n"
                           "int generated_line;\n"
                           "# 40 \"/t/inc/api.h\"\n"
                           "   #pragma weak f\n"
                           "int f(void);\n"
                           "# 1 \"/t/other.c\"\n"
                           "int own_code;\n";
    EXPECT_EQ(headers_declaring_in(file.string(), "/t"),
              (std::set<std::string>{"/t/inc/api.h", "/t/inc/types.h"}));
    fs::remove(file);
}

TEST(HeaderCoupling, HeadersReadFromADependencyFile) {
    fs::path file = fs::temp_directory_path() / "hdrslim-coupling-test.d";
    std::ofstream(file) << "a.o: /t/src/a.c ../inc/x.h /usr/include/stdio.h \\\n"
                           " /w/include.new/5.h /t/dir\\ with\\ blank/y.h\n"
                           "../inc/x.h:\n";
    EXPECT_EQ(headers_read(file.string(), "/t/src", "/t"),
              (std::set<std::string>{"/t/inc/x.h", "/w/include.new/5.h", "/t/dir with blank/y.h"}));
    fs::remove(file);
}
