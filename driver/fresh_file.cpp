#include "fresh_file.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

bool remove_entry(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

int open_fresh(const std::string& path) {
    if (!remove_entry(path)) return -1;
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0664);
}

bool write_fresh(const std::string& path, const std::string& text) {
    int fd = open_fresh(path);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return close(fd) == 0 && done == text.size();
}

bool rewrite_fresh(const std::string& path,
                   const std::function<std::string(const std::string&)>& change) {
    std::stringstream text;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        text << in.rdbuf();
    }
    return write_fresh(path, change(text.str()));
}
