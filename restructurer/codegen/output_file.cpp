#include "codegen/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

output_file::output_file(std::string path) : path_(std::move(path)) {
    // Made anew, never written through what is there: an old file or a link of
    // the same name (which could lead anywhere) is removed first.
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT)
        std::cerr << "Error: cannot replace " << path_ << ": " << std::strerror(errno) << std::endl;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0664);
    if (fd_ < 0)
        std::cerr << "Error: cannot write " << path_ << ": " << std::strerror(errno) << std::endl;
}

void output_file::close() {
    if (fd_ < 0) return;
    const std::string text = text_.str();
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::cerr << "Error: cannot write " << path_ << ": " << std::strerror(errno)
                      << std::endl;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd_);
    fd_ = -1;
}
