#include "positions.h"

#include "clang_text.h"
#include "ta_graph.h"

namespace {
constexpr std::size_t position_width = 9;
}

std::string position_text(unsigned line, unsigned column) {
    std::string line_text = std::to_string(line);
    std::string column_text = std::to_string(column);
    if (line_text.size() + 1 + column_text.size() > position_width) {
        std::size_t room =
            position_width > line_text.size() + 1 ? position_width - line_text.size() - 1 : 1;
        column_text = std::string(room, '9');
    }
    return line_text + "." + column_text;
}

std::string position_text(CXSourceLocation location) {
    CXString file;
    unsigned line = 0;
    unsigned column = 0;
    clang_getPresumedLocation(location, &file, &line, &column);
    clang_disposeString(file);
    return position_text(line, column);
}

std::string presumed_file(CXSourceLocation location) {
    CXString file;
    unsigned line = 0;
    unsigned column = 0;
    clang_getPresumedLocation(location, &file, &line, &column);
    return take_text(file);
}

void set_extent(ta_graph& graph, int node, CXCursor cursor) {
    CXSourceRange extent = clang_getCursorExtent(cursor);
    graph.set(node, "beg", position_text(clang_getRangeStart(extent)));
    graph.set(node, "end", position_text(clang_getRangeEnd(extent)));
}
