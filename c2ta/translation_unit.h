// libclang's parse of one unit. A unit with errors is not usable: its
// diagnostics go to standard error and no dump is written.
#pragma once

#include <clang-c/Index.h>

#include <ostream>
#include <string>
#include <vector>

class parsed_unit {
  public:
    parsed_unit(const std::string& input, const std::vector<std::string>& arguments,
                std::ostream& errors);
    ~parsed_unit();
    parsed_unit(const parsed_unit&) = delete;
    parsed_unit& operator=(const parsed_unit&) = delete;

    // Null when the parse failed or reported an error.
    CXTranslationUnit get() const { return ok_ ? unit_ : nullptr; }

  private:
    CXIndex index_ = nullptr;
    CXTranslationUnit unit_ = nullptr;
    bool ok_ = false;
};
