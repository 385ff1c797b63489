#include "interrupt_marker.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only use what is safe in a signal handler: fixed buffers
// filled beforehand, unlink, open, write, close, signal and raise.
char marker_path_buf[4096];
char text_buf[8192];
volatile sig_atomic_t header_length = 0;
volatile sig_atomic_t text_length = 0;

void append(size_t at, const std::string& text) {
    size_t n = std::min(text.size(), sizeof text_buf - at);
    std::memcpy(text_buf + at, text.data(), n);
    text_length = static_cast<sig_atomic_t>(at + n);
}

void on_signal(int sig) {
    if (marker_path_buf[0]) {
        unlink(marker_path_buf);
        int fd = open(marker_path_buf, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0664);
        if (fd >= 0) {
            ssize_t ignored = write(fd, text_buf, static_cast<size_t>(text_length));
            (void)ignored;
            close(fd);
        }
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

} // namespace

void watch_interrupts(const std::string& marker_path, const std::string& header) {
    if (marker_path.size() >= sizeof marker_path_buf) return;
    std::memcpy(marker_path_buf, marker_path.c_str(), marker_path.size() + 1);
    std::string head = header + "state: interrupted during ";
    header_length = 0;
    append(0, head);
    header_length = text_length;
    set_interrupt_phase("set-up");
    // A signal ignored when hdrslim started (nohup, a background job of a shell
    // without job control) stays ignored, as it would be without the marker.
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        if (signal(sig, on_signal) == SIG_IGN) signal(sig, SIG_IGN);
}

void set_interrupt_phase(const std::string& phase) {
    sigset_t block, old;
    sigemptyset(&block);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &old);
    append(static_cast<size_t>(header_length), phase + "\n");
    sigprocmask(SIG_SETMASK, &old, nullptr);
}
