// Small conversions around the libclang C interface: owned strings, the child
// list of a cursor, and cursors as keys of hash maps.
#pragma once

#include <clang-c/Index.h>

#include <cstddef>
#include <string>
#include <vector>

// Takes ownership of a CXString and returns its text ("" for a null string).
std::string take_text(CXString text);

std::string cursor_spelling(CXCursor cursor);
std::string type_spelling(CXType type);

// The direct children of a cursor in visiting order.
std::vector<CXCursor> children_of(CXCursor cursor);

struct cursor_hash {
    std::size_t operator()(const CXCursor& cursor) const { return clang_hashCursor(cursor); }
};
struct cursor_equal {
    bool operator()(const CXCursor& a, const CXCursor& b) const {
        return clang_equalCursors(a, b) != 0;
    }
};
