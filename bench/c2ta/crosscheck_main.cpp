// c2ta-crosscheck UNIT FACTS CTAGS CFLOW PREPROCESSED FILE...
// Compares one unit's fact file with the ctags listing of its files and the
// cflow cross-reference of its main file, leaving out what lies on lines the
// preprocessed unit does not hold; prints one summary line, then every
// mismatch and every call fact that cflow does not list.
#include "crosscheck.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 7) {
        std::cerr << "usage: c2ta-crosscheck UNIT FACTS CTAGS CFLOW PREPROCESSED FILE...\n";
        return 2;
    }
    std::ifstream facts_in(argv[2]);
    std::ifstream tags_in(argv[3]);
    std::ifstream cflow_in(argv[4]);
    std::ifstream preprocessed_in(argv[5]);
    if (!facts_in || !tags_in || !cflow_in || !preprocessed_in) {
        std::cerr << "c2ta-crosscheck: cannot read the inputs of " << argv[1] << '\n';
        return 2;
    }
    std::set<std::string> files(argv + 6, argv + argc);
    crosscheck_result check =
        cross_check(read_facts(facts_in), read_ctags(tags_in), read_cflow(cflow_in),
                    read_active_lines(preprocessed_in), files);
    std::cout << summary_line(argv[1], check) << '\n';
    for (const std::string& line : check.node_mismatches)
        std::cout << "  mismatch: " << line << '\n';
    for (const std::string& line : check.cut_mismatches)
        std::cout << "  mismatch: " << line << '\n';
    for (const std::string& line : check.call_mismatches)
        std::cout << "  mismatch: " << line << '\n';
    for (const std::string& line : check.extra_calls)
        std::cout << "  extra call fact: " << line << '\n';
    return 0;
}
