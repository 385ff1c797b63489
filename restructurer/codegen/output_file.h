// A generated file: created anew (an existing file or link of that name is
// removed first, never written through) with permission bits 0664, filled
// through operator<<, written when closed. A file that cannot be created is
// reported on standard error with its name; its text is lost and the run
// goes on.
#pragma once

#include <sstream>
#include <string>

class output_file {
  public:
    explicit output_file(std::string path);
    ~output_file() { close(); }
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    template <class T> output_file& operator<<(const T& value) {
        text_ << value;
        return *this;
    }
    bool is_open() const { return fd_ >= 0; }
    void close();

  private:
    std::string path_;
    int fd_ = -1;
    std::ostringstream text_;
};
