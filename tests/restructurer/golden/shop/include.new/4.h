#ifndef HEADER_4
#define HEADER_4
#include "2.h"
# 7 "@SHOP@/include/report.h"
typedef void (*line_printer)(const item_t *item, int index);
# 9 "@SHOP@/include/report.h"
struct report_style {
    line_printer print_line;
    int show_totals;
};
#endif
