#include "structs.h"
int channel_part(channel_T *ch) { return ch->ch_part[1].ch_json_head.jq_no_callback; }
typval_T *channel_value(channel_T *ch) { return ch->ch_part[0].ch_json_head.jq_value; }
