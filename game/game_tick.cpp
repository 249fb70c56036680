#include "game/game_tick.h"

#include "engine/frame_state.h"
#include "engine/scene.h"
#include "game/menu.h"

#include <cstddef>

void game_tick(const TickInput& input) {
    ++frame_count;
    // Whatever was still queued belongs to no tick: the input is all this tick may see.
    while (event_next()) {
    }
    for (int32_t i = 0; i < input.count && i < TICK_EVENTS; ++i) {
        const TickEvent& t = input.events[static_cast<std::size_t>(i)];
        if (t.kind == TICK_STEERING) {
            menu_steering_set(t.seat, t.code != 0);
            continue;
        }
        InputEvent* e = event_push();
        if (!e) break;
        *e = {t.kind, 1, t.code, t.x, t.y, t.seat, t.turn};
    }
    scene_dispatch();
}
