// What the main loop shares with every scene: the tick count that scenes read as their clock,
// and the clear colour that they set and every drawing pass clears to. Main thread only.
#pragma once
#include <cstdint>

// Update ticks of 25 ms since start-up; only game_tick advances it.
extern int32_t frame_count;

// 0..255 each; 0 at start, so the first frames are black.
extern int32_t clear_red, clear_green, clear_blue;
