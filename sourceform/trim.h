// A line without the blanks around it (spaces, tabs, and the carriage return
// of a file written with CRLF line ends).
#pragma once

#include <string>

inline std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}
