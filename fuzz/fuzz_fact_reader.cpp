// The restructurer's fact-file reader on arbitrary text, with file and
// inclusion facts switched on.
#include "fuzz_support.h"
#include "header/graph.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path =
        fuzz_support::write_file("u.rsf", std::string(reinterpret_cast<const char*>(data), size));
    fuzz_support::quiet_stdout quiet;
    graph g;
    g.with_inclusions = true;
    g.read_fact_file(path);
    return 0;
}
