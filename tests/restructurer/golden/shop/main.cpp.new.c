#include "0.h"
#include "1.h"
#include "2.h"
#include "3.h"
#include "4.h"
# 5 "@SHOP@/include/version.h"
struct version {
    int major;
    int minor;
};
# 10 "@SHOP@/include/version.h"
extern const struct version shop_version;
# 6 "@SHOP@/main.c"
const struct version shop_version = {1, 2};
# 8 "@SHOP@/main.c"
static int is_toy(const item_t *item)
{
    return item->category == CAT_TOY;
}
# 13 "@SHOP@/main.c"
int main(void)
{
    struct report_style style = {print_plain_line, 1};
    const item_t *found;

    printf("shop %d.%d\n", shop_version.major, shop_version.minor);
    add_item("apple", CAT_FOOD, 45, 12);
    add_item("hammer", CAT_TOOL, 1299, 2);
    add_item("kite", CAT_TOY, 850, 3);
    add_item("bread", CAT_FOOD, 275, 5);
    print_report(&style);

    found = find_item("kite");
    printf("kite: %s\n", found ? category_names[found->category] : "missing");
    printf("toys: %d of %d\n", count_items(is_toy), count_items( ((void *)0) ));
    return 0;
}
