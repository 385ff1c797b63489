// Preprocessed text normally loses every comment, but a few comments are code to
// the compiler: `/* fall through */` before a case label is what keeps
// -Wimplicit-fallthrough quiet, and with -Werror the build fails without it. The
// units are therefore preprocessed with -C (comments kept) and then filtered:
// every comment is removed except those the compiler reads, which stay where they
// were. A removed comment leaves a blank and the line breaks it held, so every
// line keeps its number and the line markers stay true.
#pragma once

#include <string>

// `text` (C preprocessor output with comments) without the comments that are not
// code; string and character literals are left alone.
std::string keep_code_comments(const std::string& text);

// Whether the body of a one-line comment (without its delimiters) is one of the
// fall-through markers GCC recognises.
bool is_fallthrough_comment(const std::string& body);

// The same as keep_code_comments on a file in place; false when it cannot be
// read or written.
bool keep_code_comments_in_file(const std::string& path);
