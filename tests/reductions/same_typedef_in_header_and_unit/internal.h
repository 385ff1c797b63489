typedef enum { bt_raw, bt_rle, bt_compressed } blockType_e;
typedef struct { blockType_e blockType; unsigned size; } blockProperties_t;
int size_of(const blockProperties_t *p);
