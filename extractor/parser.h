// Parser of the TA input: records into the node table and the edge list.
//
//   input       := record*
//   record      := "$INSTANCE" word word word block | "(" word word word ")" block
//   block       := "{" (word "=" word)* "}"
//
// A record is stored only once its closing brace has been read. After a syntax
// error the parser reports "parse error" with the line number and skips to the
// next token that can start a record, so that only the broken record is lost.
#pragma once

#include "scanner.h"

#include <ostream>

struct parse_result {
    long records = 0;         // records stored
    long errors = 0;          // syntax errors met
    bool read_failed = false; // the stream broke before its end
};

// Parses the whole stream, then freezes the tables (identifier order). With stop_at_error, reading
// ends at the first syntax error (the records completed before it are kept).
parse_result parse_ta(std::istream& in, std::ostream& diagnostics, bool stop_at_error = false);
