/* Types shared by every module of the shop. */
#ifndef SHOP_COMMON_H
#define SHOP_COMMON_H

#include <stddef.h>

/* Every category of the shop, as X(enumerator, printed name); the enumeration
 * and the table of names are made from it. */
#define SHOP_CATEGORIES(X) \
    X(CAT_FOOD, "food")    \
    X(CAT_TOOL, "tool")    \
    X(CAT_TOY, "toy")

#define CATEGORY_ENUMERATOR(id, name) id,

enum category { SHOP_CATEGORIES(CATEGORY_ENUMERATOR) CAT_COUNT };

typedef long cents_t;

struct money {
    cents_t amount;
    const char *currency;
};

typedef struct money money_t;

extern const char *category_names[CAT_COUNT];

#endif
