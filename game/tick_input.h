// The tick's input: every press that one update tick drains, each with the seat that made it,
// resolved from the keys before it enters, so a tick (and a recording of it) means the same
// whatever keys a player uses. The local event queue fills one per tick; a recording or a
// network may fill it instead. The gameplay rules read nothing else from outside the game's
// tables. Main thread only.
#pragma once
#include "engine/input_events.h"

#include <array>
#include <cstdint>

constexpr int32_t SEAT_NONE = -1; // a press that is no player's control (Escape, any other key)
constexpr int32_t TICK_EVENTS = EVENT_QUEUE_SIZE;
// A key code the game has no name for; like any key but Escape and Space, it only starts a game.
constexpr int32_t KEY_UNNAMED = -1;

// Not a press but a room's word that the seat is steered from this tick on by the computer
// (code 1) or its person (code 0); game_tick acts on it, the scenes never see it.
constexpr int8_t TICK_STEERING = 16;

struct TickEvent {
    int16_t code; // virtual key (KEY_UNNAMED for codes outside int16), or mouse button
    int16_t x, y; // clicks only, virtual pixels clamped to int16; 0 for keys
    int8_t kind;  // EVENT_KEY, EVENT_MOUSE_BUTTON or TICK_STEERING
    int8_t seat;  // the player slot whose control this is, or SEAT_NONE
    int8_t turn;  // TURN_LEFT or TURN_RIGHT for a seat's control, else 0
    bool operator==(const TickEvent&) const = default;
};

struct TickInput {
    int32_t count; // 0 .. TICK_EVENTS
    std::array<TickEvent, TICK_EVENTS> events;
};

// A press as the local controls make it: its seat and turn from the players' controls.
TickEvent tick_event_from(const InputEvent& e);

// Drains the local event queue into input, in arrival order.
void tick_input_take(TickInput& input);

// Adds one event; false (and nothing added) when the input is full.
bool tick_input_add(TickInput& input, const TickEvent& event);
