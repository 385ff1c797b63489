#include "compile_db.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Options whose value is a path, given as the next word; the first four also
// take it glued to the option ("-Iinclude").
const char* const path_options[] = {"-I",       "-iquote",  "-isystem",  "-idirafter", "-include",
                                    "-imacros", "-iprefix", "-isysroot", "--sysroot"};
const std::set<std::string> glued_path_options = {"-I", "-iquote", "-isystem", "-idirafter"};
// Dependency-file options that write beside the sources; their value follows.
const std::set<std::string> dependency_options_with_value = {"-MF", "-MT", "-MQ", "-MJ"};
const std::set<std::string> dependency_options = {"-M", "-MM", "-MD", "-MMD", "-MP", "-MG"};
// Other options that make the compiler write files of its own (dumps, listings,
// profiles, temporaries) next to the sources or at a path they name: none of
// them changes what a unit declares, and hdrslim compiles each unit several
// times, so they are dropped rather than let write into the project.
const std::set<std::string> writing_options_with_value = {"-dumpdir", "-dumpbase", "-dumpbase-ext",
                                                          "-aux-info"};
const char* const writing_option_prefixes[] = {
    "-save-temps",  "--save-temps",  "-fprofile-",
    "-fdump-",      "-fstack-usage", "-fcallgraph-info",
    "-ftime-trace", "-fopt-info",    "-fsave-optimization-record",
    "-fcoverage-",  "-fauto-profile"};
const std::set<std::string> writing_options = {"--coverage", "-ftest-coverage", "-fprofile-arcs"};

bool is_writing_option(const std::string& arg) {
    if (writing_options.count(arg)) return true;
    for (const char* prefix : writing_option_prefixes)
        if (arg.rfind(prefix, 0) == 0) return true;
    return false;
}

std::vector<std::string> split_commas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        parts.push_back(text.substr(start, comma - start));
    parts.push_back(text.substr(start));
    return parts;
}

// "-Wp,..." hands options to the preprocessor and "-Wa,..." to the assembler;
// their dependency-file and listing options ("-Wp,-MD,FILE", "-Wa,-adhln=FILE",
// "-Wa,--MD,FILE") are taken out, the rest kept. "" when nothing is left.
std::string without_writing_parts(const std::string& arg) {
    bool assembler = arg.rfind("-Wa,", 0) == 0;
    std::vector<std::string> parts = split_commas(arg.substr(4)), kept;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (!assembler) {
            if (dependency_options.count(part) || dependency_options_with_value.count(part)) {
                // -MD and -MMD given to the preprocessor itself take the file.
                if (part != "-M" && part != "-MM" && part != "-MP" && part != "-MG") ++i;
                continue;
            }
            if (part.size() > 3 && dependency_options_with_value.count(part.substr(0, 3))) continue;
        } else {
            if (part == "--MD") {
                ++i;
                continue;
            }
            if (part.rfind("-a", 0) == 0 || part.rfind("--MD=", 0) == 0) continue;
        }
        kept.push_back(part);
    }
    if (kept.empty()) return "";
    std::string result = arg.substr(0, 3);
    for (const std::string& part : kept)
        result += "," + part;
    return result;
}

std::string absolute_in(const std::string& path, const std::string& directory) {
    if (path.empty()) return path;
    fs::path p(path);
    return (p.is_absolute() ? p : fs::path(directory) / p).lexically_normal().string();
}

// Matches path-taking options, separate ("-I" "dir") or glued ("-Idir",
// "--sysroot=dir"); sets `glued` to the glued value, "" when the value follows.
const char* path_option_of(const std::string& arg, std::string& glued) {
    glued.clear();
    if (arg.rfind("--sysroot=", 0) == 0) {
        glued = arg.substr(10);
        return "--sysroot=";
    }
    for (const char* option : path_options) {
        std::string name(option);
        if (arg == name) return option;
        if (glued_path_options.count(name) && arg.size() > name.size() &&
            arg.compare(0, name.size(), name) == 0) {
            glued = arg.substr(name.size());
            return option;
        }
    }
    return nullptr;
}

bool same_file(const std::string& a, const std::string& b) {
    return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

// Maps a path below the user's project into the copy; "" when it lies outside.
std::string into_tree(const std::string& path, const std::string& project,
                      const std::string& tree) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    if (ec) p = fs::path(path).lexically_normal();
    fs::path rel = p.lexically_relative(project);
    if (rel.empty() || *rel.begin() == "..") return "";
    if (rel == ".") return fs::path(tree).lexically_normal().string();
    return (fs::path(tree) / rel).lexically_normal().string();
}

std::vector<std::string> arguments_of(const nlohmann::json& entry) {
    std::vector<std::string> args;
    if (entry.contains("arguments") && entry["arguments"].is_array()) {
        for (const auto& word : entry["arguments"])
            if (word.is_string()) args.push_back(word.get<std::string>());
    } else if (entry.contains("command") && entry["command"].is_string()) {
        args = split_command(entry["command"].get<std::string>());
    }
    return args;
}

// Rewrites every path-taking flag that points into the project so that it points
// into the copy instead.
void flags_into_tree(std::vector<std::string>& flags, const std::string& project,
                     const std::string& tree) {
    for (std::string& flag : flags) {
        if (flag.empty() || flag[0] != '/') continue;
        std::string mapped = into_tree(flag, project, tree);
        if (!mapped.empty()) flag = mapped;
    }
    for (std::string& flag : flags) {
        if (flag.rfind("-I/", 0) == 0) {
            std::string mapped = into_tree(flag.substr(2), project, tree);
            if (!mapped.empty()) flag = "-I" + mapped;
        }
    }
}

std::string display_name(const std::string& path, const std::string& tree) {
    return fs::path(path).lexically_relative(tree).string();
}

} // namespace

std::vector<std::string> skipped_summary(const std::vector<std::string>& skipped) {
    std::vector<std::string> reasons;
    std::map<std::string, std::vector<std::string>> names;
    for (const std::string& line : skipped) {
        size_t colon = line.rfind(": ");
        std::string name = colon == std::string::npos ? "" : line.substr(0, colon);
        std::string reason = colon == std::string::npos ? line : line.substr(colon + 2);
        if (!names.count(reason)) reasons.push_back(reason);
        std::vector<std::string>& list = names[reason];
        if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
    }
    std::vector<std::string> lines;
    const size_t shown = 3;
    for (const std::string& reason : reasons) {
        const std::vector<std::string>& list = names[reason];
        if (list.size() == 1) {
            lines.push_back(list[0].empty() ? reason : list[0] + ": " + reason);
            continue;
        }
        std::string line = std::to_string(list.size()) + " sources: " + reason + " (";
        for (size_t i = 0; i < list.size() && i < shown; ++i)
            line += (i ? ", " : "") + list[i];
        if (list.size() > shown) line += " and " + std::to_string(list.size() - shown) + " more";
        lines.push_back(line + ")");
    }
    return lines;
}

std::vector<std::string> split_command(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    for (size_t i = 0; i < command.size(); ++i) {
        char c = command[i];
        if (c == '\\' && i + 1 < command.size()) {
            word += command[++i];
            in_word = true;
        } else if (c == '\'') {
            size_t close = command.find('\'', i + 1);
            if (close == std::string::npos) close = command.size();
            word += command.substr(i + 1, close - i - 1);
            i = close;
            in_word = true;
        } else if (c == '"') {
            for (++i; i < command.size() && command[i] != '"'; ++i) {
                if (command[i] == '\\' && i + 1 < command.size() &&
                    std::string("\"\\$`").find(command[i + 1]) != std::string::npos)
                    ++i;
                word += command[i];
            }
            in_word = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

namespace {
void expand_into(const std::vector<std::string>& args, const std::string& directory, int depth,
                 std::vector<std::string>& out) {
    for (const std::string& arg : args) {
        std::ifstream in;
        if (arg.size() > 1 && arg[0] == '@' && depth < 8)
            in.open(absolute_in(arg.substr(1), directory), std::ios::binary);
        if (!in.is_open() || !in) {
            out.push_back(arg);
            continue;
        }
        std::stringstream text;
        text << in.rdbuf();
        expand_into(split_command(text.str()), directory, depth + 1, out);
    }
}
} // namespace

std::vector<std::string> expand_response_files(const std::vector<std::string>& args,
                                               const std::string& directory) {
    std::vector<std::string> out;
    expand_into(args, directory, 0, out);
    return out;
}

std::vector<std::string> normalize_flags(const std::vector<std::string>& args,
                                         const std::string& directory, const std::string& source,
                                         std::string& object) {
    std::vector<std::string> flags;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string glued;
        if (arg == "-c") continue;
        if (arg == "-o" && i + 1 < args.size()) {
            object = absolute_in(args[++i], directory);
            continue;
        }
        if (arg.rfind("-o", 0) == 0 && arg.size() > 2) {
            object = absolute_in(arg.substr(2), directory);
            continue;
        }
        if (dependency_options.count(arg)) continue;
        if (dependency_options_with_value.count(arg)) {
            ++i;
            continue;
        }
        if (arg.size() > 3 && dependency_options_with_value.count(arg.substr(0, 3))) continue;
        if (writing_options_with_value.count(arg)) {
            ++i;
            continue;
        }
        if (is_writing_option(arg)) continue;
        if (arg.rfind("-Wp,", 0) == 0 || arg.rfind("-Wa,", 0) == 0) {
            std::string kept = without_writing_parts(arg);
            if (!kept.empty()) flags.push_back(kept);
            continue;
        }
        if (arg[0] != '-' && same_file(absolute_in(arg, directory), source)) continue;
        if (const char* option = path_option_of(arg, glued)) {
            std::string name(option);
            if (glued.empty() && i + 1 < args.size()) {
                flags.push_back(name);
                flags.push_back(absolute_in(args[++i], directory));
            } else {
                flags.push_back(name + absolute_in(glued, directory));
            }
            continue;
        }
        flags.push_back(arg);
    }
    return flags;
}

compile_db_result read_compile_db(const std::string& db_path, const std::string& project,
                                  const std::string& tree) {
    compile_db_result result;
    std::ifstream in(db_path);
    if (!in) {
        result.error = "cannot read " + db_path;
        return result;
    }
    nlohmann::json db = nlohmann::json::parse(in, nullptr, false);
    if (db.is_discarded() || !db.is_array()) {
        result.error = db_path + " is not a JSON array of compile commands";
        return result;
    }
    std::map<std::string, compile_unit> by_source;
    for (const auto& entry : db) {
        if (!entry.is_object() || !entry.contains("file") || !entry["file"].is_string() ||
            !entry.contains("directory") || !entry["directory"].is_string()) {
            result.skipped.push_back("an entry without \"file\" or \"directory\"");
            continue;
        }
        std::string directory = entry["directory"].get<std::string>();
        std::string file = absolute_in(entry["file"].get<std::string>(), directory);
        // The flags a response file holds (`cc @flags.rsp`) are read now: they
        // name paths relative to the compile's directory, and the copy's units
        // are preprocessed with their paths made absolute.
        std::vector<std::string> args = expand_response_files(arguments_of(entry), directory);
        if (fs::path(file).extension() != ".c") {
            result.skipped.push_back(file + ": not a C source");
            continue;
        }
        if (args.empty()) {
            result.skipped.push_back(file + ": no command");
            continue;
        }
        compile_unit unit;
        unit.source = into_tree(file, project, tree);
        if (unit.source.empty()) {
            result.skipped.push_back(file + ": outside the project");
            continue;
        }
        // Build systems compile probes of the compiler and of their checks in
        // folders of their own: CMake in CMakeFiles (CMakeCCompilerId.c,
        // try-compiles), meson in meson-private (sanitycheckc.c, which every
        // setup writes anew, and its checks' test files).
        fs::path inside = fs::path(unit.source).lexically_relative(tree);
        if (std::find(inside.begin(), inside.end(), fs::path("CMakeFiles")) != inside.end()) {
            result.skipped.push_back(inside.string() + ": CMake's own probe of the compiler");
            continue;
        }
        if (std::find(inside.begin(), inside.end(), fs::path("meson-private")) != inside.end()) {
            result.skipped.push_back(inside.string() + ": meson's own probe of the compiler");
            continue;
        }
        // A build folder outside the project (CMake's usual out-of-source build)
        // is only read from and run in: the compile commands' generated headers
        // live there.
        unit.directory = into_tree(directory, project, tree);
        if (unit.directory.empty())
            unit.directory = fs::path(directory).lexically_normal().string();
        unit.compiler = args[0];
        std::string object;
        unit.flags = normalize_flags(args, directory, file, object);
        if (object.empty()) // "cc -c dir/a.c" writes a.o into the working directory
            object = (fs::path(directory) / fs::path(file).stem()).string() + ".o";
        flags_into_tree(unit.flags, project, tree);
        unit.object = object.empty() ? "" : into_tree(object, project, tree);
        unit.stem = unit.source.substr(0, unit.source.size() - 2);
        unit.name = display_name(unit.source, tree);
        // The facts come from the first command of a source; a further one with
        // other flags is kept as a variant, since its macros may select other text.
        if (auto first = by_source.find(unit.source); first != by_source.end()) {
            compile_unit& known = first->second;
            auto same = [&](const std::string& dir, const std::string& cc,
                            const std::vector<std::string>& flags) {
                return dir == unit.directory && cc == unit.compiler && flags == unit.flags;
            };
            bool met = same(known.directory, known.compiler, known.flags);
            for (const compile_variant& v : known.variants)
                met = met || same(v.directory, v.compiler, v.flags);
            if (!met) known.variants.push_back({unit.directory, unit.compiler, unit.flags});
            continue;
        }
        // Configure scripts compile test programs and delete them again.
        if (!fs::exists(unit.source)) {
            result.skipped.push_back(unit.name +
                                     ": no longer exists after the build (a configure test)");
            continue;
        }
        by_source.emplace(unit.source, unit);
    }
    for (auto& [source, unit] : by_source)
        result.units.push_back(unit);
    return result;
}
