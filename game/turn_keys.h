// The turn keys: which key or mouse button turns which player which way. Every slot starts with
// its own pair (Q W, the arrows, the mouse buttons, U I) and a person may give a slot any other
// pair of keys from KEY_NAMES, never one that another slot holds or one the game keeps for
// itself. This table is the one place a press is resolved to a slot's turn. Main thread only.
#pragma once
#include "game/board.h"

#include <array>
#include <cstdint>

// Who turns which way on which press.
struct PlayerControl {
    int32_t slot;
    int32_t kind; // EVENT_KEY or EVENT_MOUSE_BUTTON
    int32_t code; // virtual-key code or mouse button
    int32_t direction;
};
// Slot s turns left with row 2 s and right with row 2 s + 1.
extern std::array<PlayerControl, 2 * PLAYER_SLOTS> player_controls;
extern const std::array<PlayerControl, 2 * PLAYER_SLOTS> DEFAULT_PLAYER_CONTROLS;

// The control a press of that kind and code belongs to, or null.
const PlayerControl* player_control_find(int32_t kind, int32_t code);
// The press that turns that slot that way (TURN_LEFT or TURN_RIGHT), or null: what another way
// of pressing (a touch button) sends, so it turns exactly as the player's own control does.
const PlayerControl* player_control_of(int32_t slot, int32_t direction);

// Why a key cannot turn `slot`; TURN_KEY_FREE when it can.
enum TurnKeyRefusal {
    TURN_KEY_FREE = 0,
    TURN_KEY_KEPT,    // Escape, Space and Return belong to the game
    TURN_KEY_UNNAMED, // no cap could show it
    TURN_KEY_TAKEN,   // another slot turns with it
};
TurnKeyRefusal turn_key_refusal(int32_t slot, int32_t kind, int32_t code);

struct TurnKey {
    int32_t kind, code;
};
// Gives the slot its new left and right keys; the caller has checked them with
// turn_key_refusal. Game pads follow, so a pad still turns its own player.
void turn_keys_set(int32_t slot, TurnKey left, TurnKey right);
// Every slot back to its own pair.
void turn_keys_reset();
