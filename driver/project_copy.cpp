#include "project_copy.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool is_within(const fs::path& inner, const fs::path& outer) {
    auto mismatch = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return mismatch.first == outer.end();
}

// Modification (and access) time of `st` given to `path`; links themselves too.
void keep_times(const fs::path& path, const struct stat& st) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

class copier {
  public:
    copier(fs::path project, fs::path to, std::vector<std::string>* notes)
        : project_(std::move(project)), to_(std::move(to)), notes_(notes) {}

    bool copy_dir(const fs::path& src, const fs::path& dst, const std::string& shown, bool top);
    std::string error;

  private:
    bool copy_entry(const fs::path& src, const fs::path& dst, const std::string& shown);
    bool copy_link(const fs::path& src, const fs::path& dst, const std::string& shown);
    bool copy_file(const fs::path& src, const fs::path& dst, const struct stat& st,
                   const std::string& shown);
    void note(const std::string& line) {
        if (notes_) notes_->push_back(line);
    }
    bool failed(const std::string& message) {
        error = message;
        return false;
    }

    fs::path project_;
    fs::path to_;
    std::vector<std::string>* notes_;
    std::vector<fs::path> open_dirs_; // directories being copied, canonical
};

bool copier::copy_dir(const fs::path& src, const fs::path& dst, const std::string& shown,
                      bool top) {
    struct stat st;
    if (stat(src.c_str(), &st) != 0)
        return failed("cannot read " + src.string() + ": " + std::strerror(errno));
    std::error_code ec;
    fs::create_directories(dst, ec);
    if (ec) return failed("cannot create " + dst.string() + ": " + ec.message());
    open_dirs_.push_back(src);
    for (fs::directory_iterator it(src, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (top && (name == ".git" || name == ".hg" || name == ".svn")) continue;
        if (!copy_entry(it->path(), dst / name, shown.empty() ? name : shown + "/" + name))
            return false;
    }
    open_dirs_.pop_back();
    if (ec) return failed("cannot read " + src.string() + ": " + ec.message());
    chmod(dst.c_str(), (st.st_mode & 0777) | S_IRWXU);
    keep_times(dst, st);
    return true;
}

bool copier::copy_entry(const fs::path& src, const fs::path& dst, const std::string& shown) {
    struct stat st;
    if (lstat(src.c_str(), &st) != 0)
        return failed("cannot read " + src.string() + ": " + std::strerror(errno));
    if (S_ISLNK(st.st_mode)) return copy_link(src, dst, shown);
    if (S_ISDIR(st.st_mode)) return copy_dir(src, dst, shown, false);
    if (S_ISREG(st.st_mode)) return copy_file(src, dst, st, shown);
    note("left out " + shown + ": not a file, directory or link");
    return true;
}

bool copier::copy_file(const fs::path& src, const fs::path& dst, const struct stat& st,
                       const std::string& shown) {
    std::error_code ec;
    fs::copy_file(src, dst, ec);
    if (ec) return failed("cannot copy " + shown + " (" + src.string() + "): " + ec.message());
    chmod(dst.c_str(), (st.st_mode & 0777) | S_IRUSR | S_IWUSR);
    keep_times(dst, st);
    return true;
}

bool copier::copy_link(const fs::path& src, const fs::path& dst, const std::string& shown) {
    std::error_code ec;
    fs::path target = fs::read_symlink(src, ec);
    if (ec) return failed("cannot read the link " + src.string() + ": " + ec.message());
    // The directories walked are canonical, so the link's own directory is too.
    fs::path resolved = fs::weakly_canonical(src.parent_path() / target, ec);
    if (ec) {
        note("left out " + shown + " -> " + target.string() + ": cannot be followed (" +
             ec.message() + ")");
        return true;
    }
    if (is_within(resolved, project_)) {
        fs::path in_copy = to_ / resolved.lexically_relative(project_);
        fs::path relative = in_copy.lexically_relative(dst.parent_path());
        fs::create_symlink(relative.empty() ? fs::path(".") : relative, dst, ec);
        if (ec) return failed("cannot create the link " + dst.string() + ": " + ec.message());
        struct stat st;
        if (lstat(src.c_str(), &st) == 0) keep_times(dst, st);
        return true;
    }
    struct stat st;
    if (stat(resolved.c_str(), &st) != 0) {
        note("left out " + shown + " -> " + target.string() +
             ": it points outside the project at nothing");
        return true;
    }
    if (S_ISDIR(st.st_mode)) {
        for (const fs::path& open : open_dirs_)
            if (is_within(open, resolved))
                return failed("the link " + shown + " points at " + resolved.string() +
                              ", which holds the project or the link itself, so its content "
                              "cannot be copied; replace the link by the files the build "
                              "needs, or remove it");
        if (is_within(to_, resolved) || is_within(resolved, to_))
            return failed("the link " + shown + " points at " + resolved.string() +
                          ", inside or around the output directory; remove the link or "
                          "choose another --out");
        note("copied " + shown + " -> " + resolved.string() +
             ": the link leaves the project, so the copy holds its content");
        return copy_dir(resolved, dst, shown, false);
    }
    if (S_ISREG(st.st_mode)) {
        note("copied " + shown + " -> " + resolved.string() +
             ": the link leaves the project, so the copy holds its content");
        return copy_file(resolved, dst, st, shown);
    }
    note("left out " + shown + " -> " + resolved.string() + ": not a file or directory");
    return true;
}

} // namespace

bool copy_project(const std::string& from, const std::string& to, std::string& error,
                  std::vector<std::string>* notes) {
    std::error_code ec;
    fs::path project = fs::canonical(from, ec);
    if (ec) {
        error = "cannot read " + from + ": " + ec.message();
        return false;
    }
    fs::path target = fs::weakly_canonical(fs::absolute(to), ec);
    copier copy(project, target, notes);
    if (copy.copy_dir(project, target, "", true)) return true;
    error = copy.error;
    return false;
}
