#ifndef HEADER_2
#define HEADER_2
#include "6.h"
# 14 "@SHOP@/include/report.h"
typedef void (*line_printer)(const item_t *item, int index);
# 16 "@SHOP@/include/report.h"
struct report_style {
    line_printer print_line;
    int show_totals;
};
# 21 "@SHOP@/include/report.h"
void print_report(const struct report_style *style);
#endif
