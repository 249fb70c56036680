#include "engine/frame_state.h"

int32_t frame_count;
int32_t clear_red, clear_green, clear_blue;
