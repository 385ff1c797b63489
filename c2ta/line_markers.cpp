#include "line_markers.h"

#include <cctype>

namespace {

class marker_line {
  public:
    marker_line(const char* begin, const char* end) : at_(begin), end_(end) {}

    bool parse(line_marker& marker) {
        if (!take('#')) return false;
        blanks();
        if (end_ - at_ >= 4 && std::string(at_, 4) == "line") {
            at_ += 4;
            if (!blanks()) return false;
        }
        if (!number(marker.line) || !blanks() || !quoted(marker.file)) return false;
        unsigned flag = 0;
        while (blanks() && number(flag)) {
            marker.enters = marker.enters || flag == 1;
            marker.returns = marker.returns || flag == 2;
        }
        return true;
    }

  private:
    bool take(char c) {
        if (at_ == end_ || *at_ != c) return false;
        ++at_;
        return true;
    }
    bool blanks() {
        const char* start = at_;
        while (at_ != end_ && (*at_ == ' ' || *at_ == '\t'))
            ++at_;
        return at_ != start;
    }
    bool number(unsigned& value) {
        if (at_ == end_ || !std::isdigit(static_cast<unsigned char>(*at_))) return false;
        value = 0;
        while (at_ != end_ && std::isdigit(static_cast<unsigned char>(*at_)))
            value = value * 10 + static_cast<unsigned>(*at_++ - '0');
        return true;
    }
    // A file name in double quotes, with the preprocessor's backslash escapes.
    bool quoted(std::string& text) {
        if (!take('"')) return false;
        text.clear();
        while (at_ != end_ && *at_ != '"') {
            if (*at_ == '\\' && at_ + 1 != end_) ++at_;
            text += *at_++;
        }
        return take('"');
    }

    const char* at_;
    const char* end_;
};

} // namespace

std::vector<line_marker> read_line_markers(const char* text, std::size_t size) {
    std::vector<line_marker> markers;
    std::size_t start = 0;
    while (start < size) {
        std::size_t stop = start;
        while (stop < size && text[stop] != '\n')
            ++stop;
        if (text[start] == '#') {
            line_marker marker;
            marker.next_line_offset = stop < size ? stop + 1 : size;
            if (marker_line(text + start, text + stop).parse(marker))
                markers.push_back(std::move(marker));
        }
        start = stop + 1;
    }
    return markers;
}
