// The menu laid over the board while the round has it open: start, the level's previous and
// next keys (the board below changes at once), the number of players, and a small sound panel
// with the music and effects switches; beside the score panel, each active player's controls,
// drawn from its keys, or the computer's picture at its strength for a slot the computer steers
// (a left click on the picture steps person, easy, normal, hard). A right click on a person's
// controls asks for its left and then its right key; Escape keeps the old ones, and a key that
// another player holds or the game keeps is refused with a sign on the cap.
// Worked with the mouse; any key but Escape starts a game, Escape opens the credits. The menu
// changes what it owns itself and hands the rest to the round as the action chosen.
// Its sprites are the last in the pool while it is open; starting a game cuts them away.
// Main thread only.
#pragma once
#include "game/turn_keys.h"

#include <cstdint>

// Menu sprites, by their place after menu_first_sprite.
constexpr int32_t MENU_PANEL = 0;
constexpr int32_t MENU_COUNT_MARKER = 1;
constexpr int32_t MENU_LABELS = 2;
constexpr int32_t MENU_SOUND_PANEL = 3;
constexpr int32_t MENU_MUSIC_MARKER = 4;
constexpr int32_t MENU_EFFECTS_MARKER = 5;
constexpr int32_t MENU_SOUND_ICONS = 6;
constexpr int32_t MENU_CONTROLS = 7;    // four pictures, players 1 to 4
constexpr int32_t MENU_KEY_LABELS = 11; // eight cap labels: player 1 left, right, player 2 left, ...
constexpr int32_t MENU_REMAP_PROMPT = 19;
constexpr int32_t MENU_KEY_ASK = 20;     // the ring round the cap asked for
constexpr int32_t MENU_KEY_REFUSED = 21; // the sign of a refused key
constexpr int32_t MENU_SPRITES = 22;

// Where each slot's controls picture stands, slot 0 at the top.
constexpr int32_t CONTROLS_X = 560, CONTROLS_TOP = 140, CONTROLS_PITCH = 60;
// Where the cap faces lie in a controls picture: the chosen keys' labels go there.
constexpr int32_t CONTROLS_CAP_LEFT_X = 3, CONTROLS_CAP_RIGHT_X = 21, CONTROLS_CAP_Y = 6;

// A remapping under way: the slot whose keys are asked for, and the left key once it is given.
struct MenuRemap {
    int32_t slot;       // -1: none
    int32_t left_given; // nonzero once the left key is chosen; a whole word, so a snapshot holds no padding
    TurnKey left;
};
extern MenuRemap menu_remap;

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

// True while a player's keys are being asked for.
bool menu_remapping();
// True when a click at (x, y) lands on the sound panel, whose switches are each machine's own.
bool menu_sound_hit(int32_t x, int32_t y);
// True when a click at (x, y) lands on a slot's keys, where a right click asks for new ones.
bool menu_keys_hit(int32_t x, int32_t y);
// Whose keys the slots' caps show: each slot its own, or in a room (in_room) this machine's k-th
// seat its k-th control set, the keys that steer that seat from here, and the other machines'
// seats blank caps. Each machine's own, like the sound switches: no snapshot holds it.
void menu_caps_for_room(bool in_room, uint32_t seat_mask);
// Who steers the slot from now on (a computer taking over is a normal one, a computer already
// steering keeps its strength), the picture beside the score panel following.
void menu_steering_set(int32_t slot, bool computer);
