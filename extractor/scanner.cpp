#include "scanner.h"

#include <array>
#include <cstring>

namespace {

constexpr std::size_t unknown = static_cast<std::size_t>(-1);
constexpr std::size_t chunk = 1 << 20;

// Bytes that end a word: blank, tab, newline, double quote and the five
// punctuation tokens. Every other byte, carriage return and bytes above 127
// included, belongs to words.
constexpr std::array<bool, 256> word_stops() {
    std::array<bool, 256> t{};
    for (unsigned char c : {' ', '\t', '\n', '"', '(', ')', '=', '{', '}'})
        t[c] = true;
    return t;
}
constexpr auto stops = word_stops();

// Section keywords produce no token. The two-word ones have exactly one blank.
constexpr std::string_view section_keywords[] = {
    "$INHERIT",      "$ENTITY",           "$RELATION",   "$NOTE",
    "$SCHEME TUPLE", "$SCHEME ATTRIBUTE", "$FACT TUPLE", "$FACT ATTRIBUTE"};
constexpr std::string_view instance_keyword = "$INSTANCE";

} // namespace

ta_scanner::ta_scanner(std::istream& in) : in_(in), buf_(chunk) {}

bool ta_scanner::fill() {
    if (eof_) return false;
    if (data_begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + data_begin_, data_end_ - data_begin_);
        data_end_ -= data_begin_;
        data_begin_ = 0;
    }
    if (buf_.size() - data_end_ < chunk / 2) buf_.resize(buf_.size() * 2);
    in_.read(buf_.data() + data_end_, static_cast<std::streamsize>(buf_.size() - data_end_));
    std::size_t got = static_cast<std::size_t>(in_.gcount());
    data_end_ += got;
    if (!in_) {
        eof_ = true;
        if (in_.bad()) read_failed_ = true;
    }
    return got > 0;
}

bool ta_scanner::next_line() {
    std::size_t searched = data_begin_;
    for (;;) {
        const char* base = buf_.data();
        const void* nl = std::memchr(base + searched, '\n', data_end_ - searched);
        if (nl) {
            std::size_t at = static_cast<std::size_t>(static_cast<const char*>(nl) - base);
            line_ = std::string_view(base + data_begin_, at - data_begin_);
            data_begin_ = at + 1;
            break;
        }
        std::size_t pending = data_end_ - data_begin_;
        if (!fill()) {
            if (pending == 0) return false;
            line_ = std::string_view(buf_.data() + data_begin_, pending);
            data_begin_ = data_end_;
            break;
        }
        // fill() moved the unread bytes to the front of the buffer.
        searched = pending;
    }
    ++line_no_;
    pos_ = 0;
    last_dq_ = last_sq_ = unknown;
    return true;
}

std::size_t ta_scanner::word_length(std::size_t pos) const {
    std::size_t e = pos;
    while (e < line_.size() && !stops[static_cast<unsigned char>(line_[e])])
        ++e;
    return e - pos;
}

// Length of the section keyword starting at pos, 0 when none does.
std::size_t ta_scanner::keyword_length(std::size_t pos) const {
    std::string_view rest = line_.substr(pos);
    for (std::string_view k : section_keywords)
        if (rest.substr(0, k.size()) == k) return k.size();
    return 0;
}

std::size_t ta_scanner::last_on_line(char quote) {
    std::size_t& cached = quote == '"' ? last_dq_ : last_sq_;
    if (cached == unknown) {
        std::size_t at = line_.rfind(quote);
        cached = at == std::string_view::npos ? line_.size() : at;
    }
    return cached;
}

token ta_scanner::next() {
    for (;;) {
        if (!have_line_ || pos_ >= line_.size()) {
            have_line_ = next_line();
            if (!have_line_) return {token_kind::end, {}, line_no_};
            continue;
        }
        char c = line_[pos_];
        if (c == ' ' || c == '\t') {
            ++pos_;
            continue;
        }
        token t{token_kind::word, {}, line_no_};
        std::size_t len = 1;
        switch (c) {
        case '{':
            t.kind = token_kind::lbrace;
            break;
        case '}':
            t.kind = token_kind::rbrace;
            break;
        case '(':
            t.kind = token_kind::lparen;
            break;
        case ')':
            t.kind = token_kind::rparen;
            break;
        case '=':
            t.kind = token_kind::equals;
            break;
        case '"': {
            // Quoted text runs to the last double quote of the line; without a
            // closing quote the lone quote is a word of its own.
            std::size_t last = last_on_line('"');
            if (last < line_.size() && last > pos_) len = last - pos_ + 1;
            break;
        }
        default: {
            len = word_length(pos_);
            if (c == '\'') {
                // Single-quoted text wins only when it is longer than the word.
                std::size_t last = last_on_line('\'');
                if (last < line_.size() && last > pos_ && last - pos_ + 1 > len)
                    len = last - pos_ + 1;
            } else if (c == '$') {
                std::size_t k = keyword_length(pos_);
                if (k != 0 && k >= len) { // equal length: the keyword rule comes first
                    pos_ += k;
                    continue;
                }
                if (len == instance_keyword.size() && line_.substr(pos_, len) == instance_keyword)
                    t.kind = token_kind::instance;
            }
        }
        }
        t.text = line_.substr(pos_, len);
        pos_ += len;
        return t;
    }
}
