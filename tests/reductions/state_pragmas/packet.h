#pragma pack(push, 1)
struct header {
    char kind;
    int length;
};
#pragma pack(pop)
struct plain {
    char kind;
    int length;
};
int header_size(void);
