// The extractor's TA reader on arbitrary input: it must report syntax errors
// and recover, never crash or read out of bounds.
#include "parser.h"
#include "tables.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream diagnostics;
    parse_ta(in, diagnostics);
    cleanup();
    return 0;
}
