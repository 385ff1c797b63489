#include <stdio.h>

#include "report.h"

static int reports_printed;

static void print_totals(void)
{
    int totals[CAT_COUNT];
    char value[32];
    money_t total;
    enum category c;
    stock_by_category(totals);
    for (c = CAT_FOOD; c < CAT_COUNT; c++)
        printf("   %-5s %d\n", category_names[c], totals[c]);
    total.amount = stock_value();
    total.currency = "EUR";
    format_money(total, value, sizeof value);
    printf("   value %s\n", value);
}

void print_report(const struct report_style *style)
{
    int i;
    reports_printed++;
    REPORT_TRACE("report begins");
    printf("report %d: %d items\n", reports_printed, item_count);
    for (i = 0; i < item_count; i++)
        style->print_line(&items[i], i + 1);
    if (style->show_totals) {
        REPORT_TRACE("totals");
        print_totals();
    }
}
