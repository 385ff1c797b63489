// The driver's compile-database reader on arbitrary text: JSON parsing, shell
// word splitting of "command", flag normalisation and mapping into the copy.
#include "compile_db.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz_support::write_file(
        "compile_commands.json", std::string(reinterpret_cast<const char*>(data), size));
    // Every path counts as inside the project, so that every entry is mapped.
    read_compile_db(path, "/", "/out/tree");
    return 0;
}
