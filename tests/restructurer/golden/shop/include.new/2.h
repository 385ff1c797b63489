#ifndef HEADER_2
#define HEADER_2
#include "6.h"
# 7 "@SHOP@/include/report.h"
typedef void (*line_printer)(const item_t *item, int index);
# 14 "@SHOP@/include/report.h"
struct report_style;
void print_report(const struct report_style *style);
# 9 "@SHOP@/include/report.h"
struct report_style {
    line_printer print_line;
    int show_totals;
};
#endif
