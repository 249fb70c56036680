// The "logo" scene, the title screen: the game's name in tile letters (the embedded title
// layout) over a background that fades from black to the sky blue of play, and the start of
// the music. Any press, or LOGO_STAY_TICKS ticks without one, goes on to "gameplay".
// Its sprites lie above the scene mark; the scene's exit drops them. Main thread only.
#pragma once
#include <cstdint>

constexpr const char* LOGO_LAYOUT_ASSET = "logo_layout.bin";
// The fade runs from black after LOGO_FADE_START ticks to the sky blue at LOGO_FADE_END.
constexpr int32_t LOGO_FADE_START = 20;
constexpr int32_t LOGO_FADE_END = 60;
// The title has no prompt to press anything; after this long the menu, which waits for the
// players and shows their controls, comes by itself.
constexpr int32_t LOGO_STAY_TICKS = 200;

extern int32_t logo_start_frame; // frame_count at the first update; -1 until then, never reset

void logo_enter();
void logo_update();
