/* Printing of reports; only the report module includes it. */
#ifndef SHOP_REPORT_H
#define SHOP_REPORT_H

#include "item.h"

/* Built with -DSHOP_VERBOSE, a report tells what it does. */
#ifdef SHOP_VERBOSE
#define REPORT_TRACE(what) printf("trace: %s\n", what)
#else
#define REPORT_TRACE(what) ((void)0)
#endif

typedef void (*line_printer)(const item_t *item, int index);

struct report_style {
    line_printer print_line;
    int show_totals;
};

void print_report(const struct report_style *style);
void format_money(money_t value, char *buffer, size_t size);
void print_plain_line(const item_t *item, int index);

#endif
