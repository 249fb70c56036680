// The menu laid over the board while the round has it open: start, the level's previous and
// next keys (the board below changes at once), the number of players, and a small sound panel
// with the music and effects switches; beside the score panel, each active player's controls,
// or the computer's picture for a slot the computer steers (a click on the picture switches).
// Worked with the mouse; any key but Escape starts a game, Escape opens the credits. The menu
// changes what it owns itself and hands the rest to the round as the action chosen.
// Its sprites are the last in the pool while it is open; starting a game cuts them away.
// Main thread only.
#pragma once
#include <cstdint>

// Menu sprites, by their place after menu_first_sprite.
constexpr int32_t MENU_PANEL = 0;
constexpr int32_t MENU_COUNT_MARKER = 1;
constexpr int32_t MENU_LABELS = 2;
constexpr int32_t MENU_SOUND_PANEL = 3;
constexpr int32_t MENU_MUSIC_MARKER = 4;
constexpr int32_t MENU_EFFECTS_MARKER = 5;
constexpr int32_t MENU_SOUND_ICONS = 6;
constexpr int32_t MENU_CONTROLS = 7; // four pictures, players 1 to 4
constexpr int32_t MENU_SPRITES = MENU_CONTROLS + 4;

extern int32_t menu_first_sprite;
extern int32_t controls_first_sprite;
extern int32_t menu_x, menu_y;   // the panel's corner: centred on the board's middle (300, 240)
extern int32_t sound_x, sound_y; // the sound panel's corner

// Records where the menu's sprites start and, unless it is open already, builds it.
void menu_open(bool already_open);

// What a press in the menu leaves to the round.
enum class MenuAction {
    none,
    start,        // a game begins
    credits,      // Escape: over to the credits
    level_chosen, // the board under the menu is a new level
};

struct InputEvent;
// Acts on one press while the menu is open.
MenuAction menu_input(const InputEvent& e);

// True when a click at (x, y) lands on the sound panel, whose switches are each machine's own.
bool menu_sound_hit(int32_t x, int32_t y);
// Who steers the slot from now on, the picture beside the score panel following.
void menu_steering_set(int32_t slot, bool computer);
