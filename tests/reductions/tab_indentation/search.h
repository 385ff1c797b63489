#define SKIP_NONE 0x1000
int search(int flags);
