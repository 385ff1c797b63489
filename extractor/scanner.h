// Scanner of the TA input: turns a byte stream into tokens, one line at a time.
// No token spans a line end, so holding one whole line in memory is enough to
// apply the longest-match rules (a quoted text runs to the last quote of its
// line). Lines may be of any length.
#pragma once

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

enum class token_kind { end, instance, lbrace, rbrace, lparen, rparen, equals, word };

struct token {
    token_kind kind = token_kind::end;
    std::string_view text; // valid until the next call of next()
    long line = 0;
};

class ta_scanner {
  public:
    explicit ta_scanner(std::istream& in);
    token next();
    // True when reading the stream failed (not merely ended).
    bool read_failed() const { return read_failed_; }

  private:
    bool next_line();
    bool fill();
    std::size_t word_length(std::size_t pos) const;
    std::size_t keyword_length(std::size_t pos) const;
    std::size_t last_on_line(char quote);

    std::istream& in_;
    std::vector<char> buf_;
    std::size_t data_begin_ = 0, data_end_ = 0; // unread bytes in buf_
    bool eof_ = false;
    bool read_failed_ = false;

    std::string_view line_; // current line without its line end
    std::size_t pos_ = 0;   // scan position in line_
    long line_no_ = 0;
    // Position of the last double / single quote of the current line, computed
    // on first use (npos_unknown until then, line_.size() when there is none).
    std::size_t last_dq_ = 0, last_sq_ = 0;
    bool have_line_ = false;
};
