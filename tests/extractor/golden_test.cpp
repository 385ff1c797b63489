// Whole runs of the extractor on small hand-written dumps, compared with the
// expected fact files (and expected warnings, where a case has a .err file).
// With UPDATE_GOLDEN=1 in the environment the expected files are rewritten from
// the extractor's output instead (review the change with git diff).
#include "driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string golden_dir = HDRSLIM_SOURCE_DIR "/tests/extractor/golden/";

std::string read_file(const std::string& path, bool* found = nullptr) {
    std::ifstream in(path, std::ios::binary);
    if (found) *found = static_cast<bool>(in);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool updating_goldens() {
    const char* update = std::getenv("UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

void update_golden(const std::string& name, const std::string& facts, const std::string& warnings) {
    std::ofstream(golden_dir + name + ".rsf", std::ios::binary) << facts;
    if (warnings.empty())
        std::remove((golden_dir + name + ".err").c_str());
    else
        std::ofstream(golden_dir + name + ".err", std::ios::binary) << warnings;
}

void expect_facts(const std::string& input, const std::string& name) {
    SCOPED_TRACE(name);
    std::istringstream no_input;
    std::ostringstream out, err;
    ASSERT_EQ(run_extractor({input}, no_input, out, err), 0);
    if (updating_goldens()) {
        update_golden(name, out.str(), err.str());
        return;
    }
    bool has_rsf = false, has_err = false;
    std::string expected = read_file(golden_dir + name + ".rsf", &has_rsf);
    ASSERT_TRUE(has_rsf);
    EXPECT_EQ(out.str(), expected);
    std::string expected_err = read_file(golden_dir + name + ".err", &has_err);
    EXPECT_EQ(err.str(), has_err ? expected_err : "");
}

// The bundled example: prototype and definition, extern variable and its
// definition, typedef of a struct, a local object, name references.
TEST(ExtractorGolden, BundledExample) {
    expect_facts(HDRSLIM_SOURCE_DIR "/examples/hello/hello.ta", "hello");
}

// Prototype in a header and definition in the main file; a static and a global
// function of one name, both used by name; a static prototype making the
// definition static; a built-in parameter type writing nothing; counter 0
// suppressing a function and the uses inside it.
TEST(ExtractorGolden, Functions) {
    expect_facts(golden_dir + "functions.ta", "functions");
}

// Extern declaration and definition; initializer end in the location;
// tentative static definition; a name used inside an initializer list.
TEST(ExtractorGolden, Variables) {
    expect_facts(golden_dir + "variables.ta", "variables");
}

// typedef struct s {...} T and its pair of facts; typedef of a typedef and of
// an enum (one way); anonymous struct named by its identifier; member types;
// function-pointer member and function type parameters; a pointer typedef
// used back by its structure, an array typedef (jmp_buf) not.
TEST(ExtractorGolden, Types) {
    expect_facts(golden_dir + "types.ta", "types");
}

// Enumerators used in code and in an initializer; an array subscripted with an
// enumerator; a local of the same name writing nothing; an enumerator in the
// array size of a structure member and of a typedef.
TEST(ExtractorGolden, Enums) {
    expect_facts(golden_dir + "enums.ta", "enums");
}

// Inclusion facts; a header and a .c file entered twice keep their names;
// only the main file becomes .cpp.c (an included a.c and util.c, lib.core.h
// and my.cfg stay); the context file of a
// definition in an included file; duplicate lines kept.
TEST(ExtractorGolden, FilesAndNames) {
    expect_facts(golden_dir + "files.ta", "files");
}

// Names and locations holding blanks: the facts are dropped with one warning
// per offending text, the other facts are written.
TEST(ExtractorGolden, BlanksInNames) {
    expect_facts(golden_dir + "blanks.ta", "blanks");
}

TEST(ExtractorGolden, StandardInputGivesTheSameFacts) {
    std::istringstream in(read_file(golden_dir + "types.ta"));
    std::ostringstream out, err;
    ASSERT_EQ(run_extractor({}, in, out, err), 0);
    EXPECT_EQ(out.str(), read_file(golden_dir + "types.rsf"));
}

} // namespace
