/* Version of the program; only main.c includes it. */
#ifndef SHOP_VERSION_H
#define SHOP_VERSION_H

struct version {
    int major;
    int minor;
};

extern const struct version shop_version;

#endif
