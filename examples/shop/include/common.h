/* Types shared by every module of the shop. */
#ifndef SHOP_COMMON_H
#define SHOP_COMMON_H

#include <stddef.h>

enum category { CAT_FOOD, CAT_TOOL, CAT_TOY, CAT_COUNT };

typedef long cents_t;

struct money {
    cents_t amount;
    const char *currency;
};

typedef struct money money_t;

extern const char *category_names[CAT_COUNT];

#endif
