#include "game/tick_input.h"

#include "game/players.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

int16_t clamped(int32_t v) {
    return static_cast<int16_t>(
        std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

} // namespace

TickEvent tick_event_from(const InputEvent& e) {
    TickEvent t{};
    const bool mouse = e.kind == EVENT_MOUSE_BUTTON;
    t.kind = static_cast<int8_t>(mouse ? EVENT_MOUSE_BUTTON : EVENT_KEY);
    // Clamping keeps a far-off click outside every hit area and an odd code from aliasing a
    // named key.
    const bool code_fits =
        e.code >= std::numeric_limits<int16_t>::min() && e.code <= std::numeric_limits<int16_t>::max();
    t.code = code_fits ? static_cast<int16_t>(e.code) : static_cast<int16_t>(KEY_UNNAMED);
    if (mouse) {
        t.x = clamped(e.x);
        t.y = clamped(e.y);
    }
    const PlayerControl* c = player_control_find(t.kind, t.code);
    t.seat = static_cast<int8_t>(c ? c->slot : SEAT_NONE);
    t.turn = static_cast<int8_t>(c ? c->direction : 0);
    return t;
}

bool tick_input_add(TickInput& input, const TickEvent& event) {
    if (input.count < 0 || input.count >= TICK_EVENTS) return false;
    input.events[static_cast<std::size_t>(input.count++)] = event;
    return true;
}

void tick_input_take(TickInput& input) {
    input.count = 0;
    while (const InputEvent* e = event_next())
        tick_input_add(input, tick_event_from(*e));
}
