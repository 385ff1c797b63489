// Source positions as the dump writes them: the presumed location (after line
// markers and #line directives) as "line.column".
#pragma once

#include <clang-c/Index.h>

#include <string>

class ta_graph;

// The field that holds a position has room for nine characters; a column that
// would overflow it is clamped, since only the line is used to cut text.
std::string position_text(unsigned line, unsigned column);
std::string position_text(CXSourceLocation location);

// Presumed file name of a location ("" when it has none).
std::string presumed_file(CXSourceLocation location);

// Sets `beg` and `end` of node to the begin and end of the cursor's extent.
void set_extent(ta_graph& graph, int node, CXCursor cursor);
