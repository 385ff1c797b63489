#include "dump_file.h"

#include "ta_graph.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace {

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace

bool write_dump_file(const ta_graph& graph, const std::string& path, std::ostream& errors) {
    std::ostringstream text;
    graph.write(text);
    return write_text_file(text.str(), path, errors);
}

bool write_text_file(const std::string& text, const std::string& path, std::ostream& errors) {
    std::string temporary = path + ".tmp";
    // A fresh file, never written through a link or file left at that name.
    ::unlink(temporary.c_str());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0664);
    bool written = fd >= 0 && write_all(fd, text);
    if (fd >= 0 && ::close(fd) != 0) written = false;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        errors << "c2ta: cannot write " << path << ": " << std::strerror(errno) << '\n';
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
