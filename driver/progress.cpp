#include "progress.h"

#include <cstdio>
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

void progress::start_phase(const std::string& name, int total) {
    phase_ = name;
    total_ = total;
    done_ = 0;
    last_tenth_ = -1;
    phase_start_ = std::chrono::steady_clock::now();
    if (how_ == style::lines)
        std::fprintf(stderr, "hdrslim: %s%s\n", name.c_str(),
                     total > 0 ? (" (" + std::to_string(total) + ")").c_str() : "");
    draw();
}

void progress::advance(int done_now) {
    done_ += done_now;
    draw();
}

void progress::draw() {
    if (how_ == style::bar) {
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
        if (tenth > last_tenth_ && done_ > 0 && done_ < total_) {
            last_tenth_ = tenth;
            std::fprintf(stderr, "hdrslim: %s %d/%d\n", phase_.c_str(), done_, total_);
        }
    }
}

void progress::finish_phase() {
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
    if (how_ == style::bar && bar_shown_) std::fprintf(stderr, "\r\033[K");
    std::fprintf(stderr, "%s\n", text.c_str());
    if (how_ == style::bar && bar_shown_) draw();
}
