#include "structs.h"
int channel_part(channel_T *ch);
typval_T *channel_value(channel_T *ch);
int main(void) {
    channel_T ch = {0};
    typval_T tv = {1, {0}};
    tv.vval.v_channel = &ch;
    ch.ch_part[1].ch_json_head.jq_no_callback = 7;
    ch.ch_part[0].ch_json_head.jq_value = &tv;
    return channel_part(&ch) == 7 && channel_value(&ch)->vval.v_channel == &ch ? 0 : 1;
}
