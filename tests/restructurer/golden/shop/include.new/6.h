#ifndef HEADER_6
#define HEADER_6

# 16 "@SHOP@/include/common.h"
enum category { CAT_FOOD, CAT_TOOL, CAT_TOY, CAT_COUNT };
# 18 "@SHOP@/include/common.h"
typedef long cents_t;
# 25 "@SHOP@/include/common.h"
typedef struct money money_t;
# 20 "@SHOP@/include/common.h"
struct money {
    cents_t amount;
    const char *currency;
};
# 7 "@SHOP@/include/item.h"
union tag {
    int code;
    char letters[4];
};
# 20 "@SHOP@/include/item.h"
typedef struct item item_t;
# 12 "@SHOP@/include/item.h"
struct item {
    const char *name;
    enum category category;
    money_t price;
    int quantity;
    union tag tag;
};
#endif
