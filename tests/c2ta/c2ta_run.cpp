#include "c2ta_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

scratch_dir::scratch_dir() {
    std::string pattern = (fs::temp_directory_path() / "c2ta-test-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
}

scratch_dir::~scratch_dir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void scratch_dir::write(const std::string& relative, const std::string& text) const {
    fs::path path = fs::path(dir_) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

run_result scratch_dir::run(const std::string& command) const {
    std::string out = dir_ + "/.out";
    std::string err = dir_ + "/.err";
    std::string line = "cd '" + dir_ + "' && (" + command + ") > '" + out + "' 2> '" + err + "'";
    int raw = std::system(line.c_str());
    run_result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(out);
    result.err = slurp(err);
    return result;
}

run_result scratch_dir::c2ta(const std::string& arguments) const {
    return run(std::string("'") + C2TA_PROGRAM + "' " + arguments);
}
