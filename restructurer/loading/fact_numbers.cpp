#include "loading/fact_numbers.h"

#include <cstdlib>

int leading_int(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

int line_of(const std::string& position) {
    const std::size_t dot = position.rfind('.');
    return leading_int(dot == std::string::npos ? position : position.substr(0, dot));
}
