/* A cycle through pointers (typval_S -> channel_S -> chanpart_T -> jsonq_S ->
 * typval_S) where two links hold a structure by value, as in vim's structs.h. */
typedef struct jsonq_S jsonq_T;
typedef struct channel_S channel_T;
typedef struct typval_S typval_T;
struct typval_S {
    int v_type;
    union {
        int v_number;
        channel_T *v_channel;
    } vval;
};
struct jsonq_S {
    typval_T *jq_value;
    jsonq_T *jq_next;
    jsonq_T *jq_prev;
    int jq_no_callback;
};
typedef struct {
    int ch_fd;
    jsonq_T ch_json_head;
} chanpart_T;
struct channel_S {
    channel_T *ch_next;
    chanpart_T ch_part[2];
};
