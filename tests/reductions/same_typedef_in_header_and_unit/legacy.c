typedef enum { bt_compressed, bt_raw, bt_rle, bt_end } blockType_t;
typedef struct { blockType_t blockType; unsigned origSize; } blockProperties_t;
int legacy(void) { blockProperties_t p = {bt_rle, 3}; return p.blockType + (int)p.origSize; }
