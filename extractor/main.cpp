// extractor [input-file]: reads a TA dump of one C translation unit (standard
// input without an argument) and writes its facts to standard output.
#include "driver.h"
#include "output_check.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = run_extractor(args, std::cin, std::cout, std::cerr);
    if (!standard_output_written("extractor")) return 4;
    return status;
}
