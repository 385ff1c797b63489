// End to end on the bundled example: every unit goes through c2ta and the
// extractor, from its source and from its preprocessed text, and the facts
// are held against Universal Ctags (program units of the unit's own files)
// and GNU cflow (calls of the unit's functions).
#include "c2ta_run.h"
#include "crosscheck.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::string shop = EXAMPLES_DIR "/shop";
const std::string compile_flags = "-Iinclude -O1 -Wall";

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> list;
    for (std::string word; in >> word;)
        list.push_back(word);
    return list;
}

// The user files a fact file names: the main file and the headers it includes
// that are not system headers.
std::set<std::string> user_files(const std::string& unit_source, const std::string& facts) {
    std::set<std::string> files{unit_source};
    std::istringstream in(facts);
    std::string verb, subject, object;
    while (in >> verb >> subject >> object)
        if (verb == "-1" && object.rfind("file:/", 0) != 0) files.insert(object.substr(5));
    return files;
}

struct unit_run {
    std::string facts;
    crosscheck_result check;
};

// The unit's preprocessed text must be in unit.cpp.c of the scratch directory.
unit_run check_unit(const scratch_dir& scratch, const std::string& source,
                    const std::string& c2ta_input) {
    unit_run run;
    run_result dump = scratch.run("cd '" + shop + "' && '" C2TA_PROGRAM "' " + c2ta_input + " > '" +
                                  scratch.dir() + "/unit.ta'");
    EXPECT_EQ(dump.status, 0) << source << ": " << dump.err;
    run_result facts = scratch.run("'" EXTRACTOR_PROGRAM "' unit.ta");
    EXPECT_EQ(facts.status, 0) << facts.err;
    run.facts = facts.out;
    std::set<std::string> files = user_files(source, facts.out);
    std::string file_list;
    for (const std::string& file : files)
        file_list += " " + file;
    run_result tags = scratch.run(
        "cd '" + shop + "' && ctags -x --kinds-C=+px --_xformat='%K|%N|%n|%F|%s' -o -" + file_list);
    EXPECT_EQ(tags.status, 0) << tags.err;
    run_result calls = scratch.run("cd '" + shop + "' && cflow -x -i +s -i +_ " + source);
    EXPECT_EQ(calls.status, 0) << calls.err;
    run_result text = scratch.run("cat unit.cpp.c");
    std::istringstream facts_in(facts.out), tags_in(tags.out), calls_in(calls.out),
        text_in(text.out);
    run.check = cross_check(read_facts(facts_in), read_ctags(tags_in), read_cflow(calls_in),
                            read_active_lines(text_in), files);
    return run;
}

void expect_agreement(const std::string& label, const crosscheck_result& check) {
    EXPECT_GT(check.facts, 0) << label;
    EXPECT_EQ(check.facts, check.tags) << label;
    EXPECT_EQ(check.matched, check.facts) << label;
    for (const std::string& mismatch : check.node_mismatches)
        ADD_FAILURE() << label << ": " << mismatch;
    for (const std::string& mismatch : check.cut_mismatches)
        ADD_FAILURE() << label << ": " << mismatch;
    EXPECT_GT(check.calls, 0) << label;
    EXPECT_EQ(check.calls_found, check.calls) << label;
    for (const std::string& mismatch : check.call_mismatches)
        ADD_FAILURE() << label << ": " << mismatch;
}

} // namespace

TEST(C2taShop, FactsAgreeWithCtagsAndCflowForEveryUnit) {
    scratch_dir scratch;
    std::vector<std::string> sources =
        words(scratch.run("cd '" + shop + "' && find . -name '*.c' | sed 's|^./||' | sort").out);
    ASSERT_EQ(sources.size(), 5u);
    int units_with_extra_calls = 0;
    for (const std::string& source : sources) {
        std::string preprocessed = scratch.dir() + "/unit.cpp.c";
        ASSERT_EQ(scratch
                      .run("cd '" + shop + "' && cc -E " + compile_flags + " " + source + " > '" +
                           preprocessed + "'")
                      .status,
                  0);
        unit_run from_source = check_unit(scratch, source, compile_flags + " " + source);
        expect_agreement(source, from_source.check);
        EXPECT_EQ(from_source.check.tags_inactive, 0) << source;
        units_with_extra_calls += from_source.check.extra_calls.empty() ? 0 : 1;

        // The compiler's preprocessed text gives the same facts for the user's
        // files, since its line markers name and number them the same way.
        unit_run from_text = check_unit(scratch, source, "'" + preprocessed + "'");
        expect_agreement(source + " (preprocessed)", from_text.check);
        EXPECT_EQ(from_text.check.exact_begin, from_source.check.exact_begin) << source;
    }
    // Only main.c names functions without calling them (print_plain_line in
    // the report style, is_toy as a filter), which cflow does not count as calls.
    EXPECT_EQ(units_with_extra_calls, 1);
}
