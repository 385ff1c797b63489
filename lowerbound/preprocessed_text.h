// The text of a preprocessed unit (<unit>.cpp.c) with what its line markers say:
// for every line, the file it came from and whether that file is a system header.
#pragma once

#include <string>
#include <vector>

struct line_origin {
    int file = -1;          // index into preprocessed_text::files, -1 before the first marker
    long line = 0;          // line number inside that file
    bool system = false;    // the marker carried flag 3
    bool marker = false;    // the line is itself a line marker
    bool directive = false; // any other line starting with '#' (#pragma, #ident)
};

class preprocessed_text {
  public:
    explicit preprocessed_text(std::string text);

    const std::string& text() const { return text_; }
    const std::vector<std::string>& files() const { return files_; }
    // The unit's own source: the file named by the first line marker.
    int main_file() const { return main_file_; }

    // 0-based line of a byte offset, and where that line came from.
    size_t line_of(size_t offset) const;
    const line_origin& origin(size_t line) const { return origins_[line]; }
    size_t line_start(size_t line) const { return starts_[line]; }
    size_t line_count() const { return starts_.size(); }
    bool from_main_file(size_t offset) const { return origin(line_of(offset)).file == main_file_; }

  private:
    std::string text_;
    std::vector<std::string> files_;
    std::vector<size_t> starts_;
    std::vector<line_origin> origins_;
    int main_file_ = -1;
};

// A line marker ("# 12 \"a.h\" 1 3 4"): false when `line` is none.
struct text_marker {
    long line = 0;
    std::string file;
    std::vector<int> flags;
};
bool parse_line_marker(const std::string& line, text_marker& marker);
