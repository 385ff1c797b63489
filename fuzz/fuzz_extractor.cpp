// The whole extractor (reading, bookkeeping, every fact pass) on an arbitrary
// TA dump given on standard input.
#include "driver.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    run_extractor({}, in, out, err);
    return 0;
}
