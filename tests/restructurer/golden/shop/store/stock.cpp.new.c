#include "8.h"
#include "9.h"
# 3 "@SHOP@/store/stock.c"
static int weights[CAT_COUNT] = {1, 3, 2};
# 5 "@SHOP@/store/stock.c"
static cents_t value_of(const item_t *item)
{
    return item->price.amount * item->quantity;
}
# 10 "@SHOP@/store/stock.c"
void stock_by_category(int totals[CAT_COUNT])
{
    int i;
    for (i = 0; i < CAT_COUNT; i++)
        totals[i] = 0;
    for (i = 0; i < item_count; i++)
        totals[items[i].category] += items[i].quantity;
    totals[CAT_TOOL] *= weights[CAT_TOOL];
}
# 20 "@SHOP@/store/stock.c"
cents_t stock_value(void)
{
    cents_t sum = 0;
    int i;
    for (i = 0; i < item_count; i++)
        sum += value_of(&items[i]);
    return sum;
}
