// What the game writes over its picture for online play: one line at the top (the room's code
// and link, the way in, or what went wrong) in the game's own lettering, and the button that
// opens a room beside the sound panel while the local menu is shown. Both are drawn after the
// game's sprites from pool entries above the game's own, handed back at once, so the tables a
// room's rollback restores never hold them. Main thread only.
#pragma once
#include <cstdint>
#include <string>

// The button's place, in virtual pixels.
constexpr int32_t ROOM_BUTTON_X = 338, ROOM_BUTTON_Y = 440;

// The line to show from now on (upper case is drawn, lower case folded; characters without a
// glyph leave a space); empty shows none.
void banner_set(const std::string& line);
void banner_show_button(bool shown);
bool banner_button_hit(int32_t x, int32_t y);

// Called by main_loop_pass around sprites_render; begin returns the pool entry of the banner's
// first sprite.
int32_t banner_draw_begin();
void banner_draw_end();

// One more overlay sprite between them (the seats' words and marks), gone with the rest at the end.
void banner_place(int32_t image, int32_t x, int32_t y);
