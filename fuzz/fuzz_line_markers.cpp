// The restructurer's loading of one unit: its facts, then the line markers and
// text of its preprocessed source, cut into program units. The input is the
// fact file, a line "@@@@", and the preprocessed source; every existing file
// counts as the user's own so that units are kept and cut.
#include "fuzz_support.h"
#include "header/graph.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string separator = "@@@@\n";
    const std::size_t at = input.find(separator);
    const std::string facts = at == std::string::npos ? input : input.substr(0, at);
    const std::string source =
        at == std::string::npos ? std::string() : input.substr(at + separator.size());
    const std::string fact_file = fuzz_support::write_file("u.rsf", facts);
    fuzz_support::write_file("u.cpp.c", source);
    fuzz_support::quiet_stdout quiet;
    graph::user_modules = {"/"};
    graph g;
    g.with_inclusions = true;
    g.read_graphs({fact_file});
    return 0;
}
