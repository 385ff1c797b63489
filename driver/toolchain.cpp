#include "toolchain.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

bool find_toolchain(toolchain& tools, std::string& error) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    fs::path build = self.parent_path().parent_path(); // build/driver/hdrslim -> build
    tools.c2ta = (build / "c2ta" / "c2ta").string();
    tools.extractor = (build / "extractor" / "extractor").string();
    tools.restructurer = (build / "restructurer" / "restructurer").string();
    tools.driver = self.string();
    tools.lowerbound = (build / "lowerbound" / "lowerbound").string();
    for (const std::string* tool :
         {&tools.c2ta, &tools.extractor, &tools.restructurer, &tools.lowerbound}) {
        if (access(tool->c_str(), X_OK) != 0) {
            error = "tool " + *tool + " is missing; build the project first (./hdrslim does)";
            return false;
        }
    }
    return true;
}
