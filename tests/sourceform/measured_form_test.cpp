// Reading the measured form's files: includes, units by line marker, and the
// forward declarations the restructurer put before a unit.
#include "measured_form.h"

#include <gtest/gtest.h>

TEST(MeasuredForm, UnitsByMarkerIncludesAndForwardDeclarations) {
    measured_file m = read_measured_text("#ifndef HEADER_3\n"
                                         "#define HEADER_3\n"
                                         "#include \"/out/include.new/2.h\"\n"
                                         "#line 356 \"/usr/include/stdio.h\"\n"
                                         "extern int printf (const char *, ...);\n"
                                         "struct item;\n"
                                         "# 26 \"/p/item.h\" 2\n"
                                         "extern item_t items[16];\n"
                                         "#endif\n");
    ASSERT_EQ(m.includes.size(), 1u);
    EXPECT_EQ(m.includes[0], "/out/include.new/2.h");
    ASSERT_EQ(m.units.size(), 2u);
    EXPECT_EQ(m.units[0].file, "/usr/include/stdio.h");
    EXPECT_EQ(m.units[0].line, 356);
    EXPECT_EQ(m.units[1].file, "/p/item.h");
    EXPECT_EQ(m.units[1].line, 26);
    ASSERT_EQ(m.units[1].text.size(), 2u)
        << "the forward declaration before the marker is the unit's; the guard's #endif is not";
    EXPECT_EQ(forward_declarations(m.units[1], "extern item_t items[MAX_ITEMS];"),
              std::vector<std::string>{"struct item;"});
    EXPECT_TRUE(forward_declarations(m.units[1], "struct item;").empty())
        << "a unit that is itself a declaration of that form has no forward part";
}

// The restructurer writes a unit's forward declarations ahead of its line
// marker: they belong to the unit after the marker, not to the text before it,
// whether that is another unit or the start of the file.
TEST(MeasuredForm, ForwardDeclarationsAheadOfTheMarkerOpenTheNextUnit) {
    measured_file m = read_measured_text("struct style;\n"
                                         "#line 8 \"/p/report.h\"\n"
                                         "void print(const struct style *s);\n"
                                         "#line 14 \"/p/report.h\"\n"
                                         "struct item;\n"
                                         "#line 21 \"/p/report.h\"\n"
                                         "typedef void (*printer)(const item_t *item);\n"
                                         "struct report_style;\n"
                                         "\n"
                                         "#line 30 \"/p/report.h\"\n"
                                         "void print_report(const struct report_style *style);\n");
    ASSERT_EQ(m.units.size(), 4u);
    EXPECT_EQ(forward_declarations(m.units[0], "void print(const struct style *s);"),
              std::vector<std::string>{"struct style;"});
    EXPECT_EQ(m.units[1].text, std::vector<std::string>{"struct item;"})
        << "a unit that is a forward declaration keeps its own line";
    EXPECT_EQ(m.units[2].text,
              std::vector<std::string>{"typedef void (*printer)(const item_t *item);"});
    EXPECT_EQ(
        forward_declarations(m.units[3], "void print_report(const struct report_style *style);"),
        std::vector<std::string>{"struct report_style;"});
}
