#include "output_check.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// The file descriptor 1 is open on, as the kernel names it ("" when unknown).
std::string standard_output_name() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/fd/1", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

} // namespace

bool standard_output_written(const char* program) {
    errno = 0;
    std::cout.flush();
    if (std::cout) return true;
    int reason = errno;
    std::string name = standard_output_name();
    std::cerr << program << ": cannot write standard output";
    if (!name.empty()) std::cerr << " (" << name << ")";
    if (reason != 0) std::cerr << ": " << std::strerror(reason);
    std::cerr << "\n";
    return false;
}
