#include "0.h"
#include "2.h"
#include "4.h"
#include "8.h"
#include "9.h"
#include "10.h"
# 5 "@SHOP@/report/report.c"
static int reports_printed;
# 7 "@SHOP@/report/report.c"
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
# 22 "@SHOP@/report/report.c"
void print_report(const struct report_style *style)
{
    int i;
    reports_printed++;
    ((void)0);
    printf("report %d: %d items\n", reports_printed, item_count);
    for (i = 0; i < item_count; i++)
        style->print_line(&items[i], i + 1);
    if (style->show_totals) {
        ((void)0);
        print_totals();
    }
}
