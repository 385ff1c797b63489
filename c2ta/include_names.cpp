#include "include_names.h"

#include <sys/stat.h>

namespace {

bool starts_with(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// "include/" and "include" are one directory to the compiler.
std::string without_trailing_slashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::string join(const std::string& dir, const std::string& name) {
    return dir.empty() ? name : dir + "/" + name;
}

std::string directory_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool same_file(const std::string& path, CXFile file) {
    struct stat info;
    CXFileUniqueID id;
    if (::stat(path.c_str(), &info) != 0 || clang_getFileUniqueID(file, &id) != 0) return false;
    return id.data[0] == static_cast<unsigned long long>(info.st_dev) &&
           id.data[1] == static_cast<unsigned long long>(info.st_ino);
}

} // namespace

include_names::include_names(const std::vector<std::string>& flags) {
    struct include_option {
        const char* flag;
        std::vector<std::string>* dirs;
    };
    const include_option options[] = {{"-iquote", &quote_dirs_},
                                      {"-isystem", &bracket_dirs_},
                                      {"-idirafter", &after_dirs_},
                                      {"-I", &bracket_dirs_}};
    std::vector<std::string> system_dirs;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        for (const include_option& option : options) {
            std::string flag = option.flag;
            if (!starts_with(flags[i], option.flag)) continue;
            std::string dir = flags[i].size() > flag.size() ? flags[i].substr(flag.size())
                              : i + 1 < flags.size()        ? flags[++i]
                                                            : std::string();
            if (!dir.empty())
                (flag == "-isystem" ? system_dirs : *option.dirs)
                    .push_back(without_trailing_slashes(dir));
            break;
        }
    }
    // -I directories come before -isystem ones.
    bracket_dirs_.insert(bracket_dirs_.end(), system_dirs.begin(), system_dirs.end());
}

std::string include_names::name(const std::string& includer, const std::string& spelled,
                                bool quoted, CXFile file, const std::string& fallback) const {
    if (spelled.empty()) return fallback;
    if (spelled[0] == '/') return spelled;
    std::vector<std::string> candidates;
    if (quoted) {
        candidates.push_back(join(directory_of(includer), spelled));
        for (const std::string& dir : quote_dirs_)
            candidates.push_back(join(dir, spelled));
    }
    for (const std::string& dir : bracket_dirs_)
        candidates.push_back(join(dir, spelled));
    for (const std::string& dir : after_dirs_)
        candidates.push_back(join(dir, spelled));
    for (const std::string& candidate : candidates)
        if (same_file(candidate.empty() ? "." : candidate, file)) return candidate;
    return fallback;
}

bool read_include_spelling(CXTranslationUnit unit, CXSourceLocation site, std::string& spelled,
                           bool& quoted) {
    CXFile file = nullptr;
    unsigned offset = 0;
    clang_getExpansionLocation(site, &file, nullptr, nullptr, &offset);
    std::size_t size = 0;
    const char* text = file != nullptr ? clang_getFileContents(unit, file, &size) : nullptr;
    if (text == nullptr || offset >= size || (text[offset] != '"' && text[offset] != '<'))
        return false;
    quoted = text[offset] == '"';
    char close = quoted ? '"' : '>';
    spelled.clear();
    for (std::size_t at = offset + 1; at < size && text[at] != close && text[at] != '\n'; ++at)
        spelled += text[at];
    return true;
}
