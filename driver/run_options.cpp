#include "run_options.h"

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

const char* const run_usage =
    "usage: hdrslim run [--out DIR] [--build CMD [--check CMD]] [-p DIR] [-j N] [--quiet] "
    "[--form source|measured] "
    "PROJECT_DIR\n"
    "       hdrslim demo\n"
    "       hdrslim --help | --version\n";

namespace {

bool parse_jobs(const std::string& text, int& jobs) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 4)
        return false;
    jobs = std::stoi(text);
    return jobs > 0;
}

// Takes the value of an option given as "--opt VALUE" or "--opt=VALUE".
bool take_value(const std::vector<std::string>& args, size_t& i, const std::string& name,
                std::string& value, std::string& error) {
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = "option " + name + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool is_option(const std::string& arg, const std::string& name) {
    return arg == name || arg.rfind(name + "=", 0) == 0;
}

} // namespace

std::string find_compile_db(const run_options& options) {
    std::vector<fs::path> candidates;
    if (!options.db_dir.empty())
        candidates.push_back(fs::path(options.db_dir) / "compile_commands.json");
    else
        candidates = {fs::path(options.project_dir) / "compile_commands.json",
                      fs::path(options.project_dir) / "build" / "compile_commands.json"};
    std::error_code ec;
    for (const fs::path& candidate : candidates)
        if (fs::is_regular_file(candidate, ec)) return fs::absolute(candidate).string();
    return "";
}

std::string default_out_dir(const std::string& project_dir) {
    fs::path project = fs::absolute(project_dir).lexically_normal();
    if (!project.has_filename()) project = project.parent_path();
    return (project.parent_path() / (project.filename().string() + "-hdrslim")).string();
}

std::optional<run_options> parse_run_options(const std::vector<std::string>& args,
                                             std::string& error) {
    run_options options;
    std::string jobs_text;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool ok = true;
        if (is_option(arg, "--out"))
            ok = take_value(args, i, "--out", options.out_dir, error);
        else if (is_option(arg, "--build"))
            ok = take_value(args, i, "--build", options.build_command, error);
        else if (is_option(arg, "--check"))
            ok = take_value(args, i, "--check", options.check_command, error);
        else if (arg == "-p")
            ok = take_value(args, i, "-p", options.db_dir, error);
        else if (arg == "-j" || is_option(arg, "--jobs"))
            ok = take_value(args, i, arg == "-j" ? "-j" : "--jobs", jobs_text, error);
        else if (arg.rfind("-j", 0) == 0 && arg.size() > 2)
            jobs_text = arg.substr(2);
        else if (arg == "--quiet" || arg == "-q")
            options.quiet = true;
        else if (is_option(arg, "--form")) {
            std::string form;
            ok = take_value(args, i, "--form", form, error);
            if (ok && form != "source" && form != "measured") {
                error = "--form takes source or measured, not '" + form + "'";
                return std::nullopt;
            }
            options.source_form = form == "source";
        }
        else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (options.project_dir.empty())
            options.project_dir = arg;
        else {
            error = "more than one project directory: " + options.project_dir + " and " + arg;
            return std::nullopt;
        }
        if (!ok) return std::nullopt;
    }
    if (options.project_dir.empty()) {
        error = "no project directory given";
        return std::nullopt;
    }
    if (!jobs_text.empty() && !parse_jobs(jobs_text, options.jobs)) {
        error = "-j needs a positive number, not '" + jobs_text + "'";
        return std::nullopt;
    }
    // The check runs on the built copies, and only the project's build makes them.
    if (!options.check_command.empty() && options.build_command.empty()) {
        error = "--check needs --build: the check runs on copies that the project's own build "
                "makes";
        return std::nullopt;
    }
    if (!options.db_dir.empty() && !options.build_command.empty()) {
        error = "-p and --build exclude each other: --build makes its own compile commands";
        return std::nullopt;
    }
    if (options.jobs == 0) options.jobs = std::max(1u, std::thread::hardware_concurrency());
    if (options.out_dir.empty()) options.out_dir = default_out_dir(options.project_dir);
    return options;
}
