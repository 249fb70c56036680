// A room's presses on the wire: the game's tick events as the wire's small records and back.
// Going out, a machine's own control sets become its seats in order (two people on one keyboard
// steer the machine's first and second seat whatever the seats' numbers). Coming in, every
// machine turns the same records into the same tick input, so a hostile record can only do what
// the seat it names may: a turn of that seat, or a menu choice when that seat owns the menu.
// Main thread only.
#pragma once
#include "game/tick_input.h"
#include "online/wire.h"

#include <cstdint>
#include <span>

// The game's record kinds (the server's own room events start at wire::FIRST_ROOM_EVENT_KIND).
constexpr uint8_t RECORD_TURN = 1;       // code 0: left, 1: right
constexpr uint8_t RECORD_MENU_KEY = 2;   // code: the key (0xFF for a key the game has no name for)
constexpr uint8_t RECORD_MENU_CLICK = 3; // code: the button; x, y in virtual pixels

// The local press as a record of this machine, or false when it is none of the room's business:
// a control set beyond the machine's seats, or a menu press while another seat owns the menu.
// In the menu a click is a click on the menu, whoever's control the button is in play.
// Escape and the sound panel stay local and never get here.
bool record_from_press(const TickEvent& press, uint8_t seat_mask, bool owns_menu, bool in_menu,
                       wire::InputRecord* out);

// Appends the press a record makes in the tick it was stamped for, or nothing when the rules
// drop it: menu presses from any seat but the menu's owner, or outside the menu; keys that
// would leave for the credits; clicks on the sound panel; right clicks on a slot's keys (each
// machine's keys are its own). Room events are not presses.
void record_to_input(const wire::InputRecord& record, uint8_t menu_owner, TickInput& input);
