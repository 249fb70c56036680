// The "intro" scene, the studio splash at start-up: the tree and the white lettering for
// INTRO_PRESENTS_TICK ticks, then "presents" in their place until the title screen ("logo")
// follows on the tick after INTRO_LAST_TICK. Any press goes on to the title at once.
// Its sprites lie above the scene mark; the scene's exit drops them. Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t INTRO_PRESENTS_TICK = 160;
constexpr int32_t INTRO_LAST_TICK = 240;

extern int32_t intro_start_frame; // frame_count at the first update; -1 until then

void intro_enter();
void intro_update();
