// A directory of its own under the system's temporary directory for one test,
// so that two checkouts (or two runs of one) testing at once never share one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

inline std::filesystem::path fresh_temp_dir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory from " + pattern);
    return pattern;
}
