#include "progress.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

progress::progress(style how)
    : how_(how), run_start_(std::chrono::steady_clock::now()), phase_start_(run_start_) {}

progress::style progress::for_stderr(bool quiet) {
    if (quiet) return style::quiet;
    return isatty(2) ? style::bar : style::lines;
}

std::string progress::elapsed() const {
    long seconds = static_cast<long>(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - run_start_).count());
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld", seconds / 60, seconds % 60);
    return text;
}

progress::~progress() {
    stop_ticker();
}

std::string progress::last_line(const std::string& path, size_t width) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    std::streamoff from = size > 4096 ? size - 4096 : 0;
    in.seekg(from);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string last, line;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            if (line.find_first_not_of(" \t") != std::string::npos) last = line;
            line.clear();
        } else if (c == '\t') {
            line += ' ';
        } else if (static_cast<unsigned char>(c) >= ' ') {
            line += c;
        }
    }
    if (line.find_first_not_of(" \t") != std::string::npos) last = line;
    if (last.size() > width) last = last.substr(0, width - 3) + "...";
    return last;
}

void progress::stop_ticker() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        ticking_ = false;
    }
    wake_.notify_all();
    if (ticker_.joinable()) ticker_.join();
}

void progress::start_phase(const std::string& name, int total, const std::string& log) {
    stop_ticker();
    std::lock_guard<std::mutex> hold(lock_);
    log_ = log;
    phase_ = name;
    total_ = total;
    done_ = 0;
    last_tenth_ = -1;
    phase_start_ = std::chrono::steady_clock::now();
    if (how_ == style::lines)
        std::fprintf(stderr, "hdrslim: %s%s\n", name.c_str(),
                     total > 0 ? (" (" + std::to_string(total) + ")").c_str() : "");
    draw();
    if (total > 0 || how_ == style::quiet) return;
    // Without a count, the display is refreshed by time: every second on a
    // terminal, every 30 seconds as plain lines.
    ticking_ = true;
    ticker_ = std::thread([this] {
        auto every = how_ == style::bar ? std::chrono::seconds(1) : std::chrono::seconds(30);
        std::unique_lock<std::mutex> hold(lock_);
        while (!wake_.wait_for(hold, every, [this] { return !ticking_; })) {
            if (how_ == style::bar) {
                draw();
            } else {
                std::string last = last_line(log_, 100);
                std::fprintf(stderr, "hdrslim: %s running, %s%s%s\n", phase_.c_str(),
                             elapsed().c_str(), last.empty() ? "" : ": ", last.c_str());
            }
        }
    });
}

void progress::advance(int done_now) {
    std::lock_guard<std::mutex> hold(lock_);
    done_ += done_now;
    draw();
}

void progress::draw() {
    if (how_ == style::bar && total_ == 0) {
        std::string last = last_line(log_, 70);
        std::fprintf(stderr, "\r\033[K%-12s %s  %s", phase_.c_str(), elapsed().c_str(),
                     last.c_str());
        std::fflush(stderr);
        bar_shown_ = true;
    } else if (how_ == style::bar) {
        const int width = 30;
        int filled = total_ > 0 ? width * done_ / total_ : 0;
        std::string bar(filled, '#');
        bar += std::string(width - filled, '.');
        std::fprintf(stderr, "\r\033[K%-12s [%s] %d/%d  %s", phase_.c_str(), bar.c_str(), done_,
                     total_, elapsed().c_str());
        std::fflush(stderr);
        bar_shown_ = true;
    } else if (how_ == style::lines && total_ > 0) {
        int tenth = 10 * done_ / total_;
        if (tenth > last_tenth_ && done_ > 0) {
            last_tenth_ = tenth;
            std::fprintf(stderr, "hdrslim: %s %d/%d\n", phase_.c_str(), done_, total_);
        }
    }
}

void progress::finish_phase() {
    stop_ticker();
    std::lock_guard<std::mutex> hold(lock_);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - phase_start_).count();
    if (how_ == style::bar) {
        draw();
        std::fprintf(stderr, "  (%.1f s)\n", seconds);
        bar_shown_ = false;
    } else if (how_ == style::lines) {
        std::fprintf(stderr, "hdrslim: %s done in %.1f s\n", phase_.c_str(), seconds);
    }
}

void progress::message(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    if (how_ == style::bar && bar_shown_) std::fprintf(stderr, "\r\033[K");
    std::fprintf(stderr, "%s\n", text.c_str());
    if (how_ == style::bar && bar_shown_) draw();
}
