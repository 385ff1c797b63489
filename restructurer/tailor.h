// Debug and progress switches, one per line of a switch file.
#pragma once

#include <fstream>
#include <set>
#include <string>

namespace tailor {

class Tailor {
  public:
    Tailor() = default;
    // Reads the switch file; a file that cannot be opened leaves every switch off.
    explicit Tailor(const char* file_name);
    // Reads switches from an already open stream, which is left open.
    explicit Tailor(std::ifstream& stream);

    // Adds the switch lines of `stream`, of any length: every line not starting
    // with "#", exactly as written.
    void configure(std::ifstream& stream);

    // True when `name` is, character for character, one of the switch lines.
    bool accept(const std::string& name) const { return switches.count(name) != 0; }

  private:
    std::string file_name;
    std::set<std::string> switches;
};

} // namespace tailor
