#include "online/room_figures.h"

#include "online/room_session.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstdio>

namespace {
// Presses run and not drawn are kept at most this many ticks' worth: a window that draws nothing
// (hidden) would otherwise keep them all.
constexpr size_t UNSHOWN_MAX = ROOM_PREDICTION_MAX * 4;
} // namespace

void room_session_pressed(RoomSession& s) {
    if (!s.watch.pressed_ms) s.watch.pressed_ms = platform_clock_ms();
}

void room_session_drawn(RoomSession& s) {
    RoomWatch& w = s.watch;
    if (s.away) w.unshown.clear(); // the credits are on the screen, not these ticks
    const int64_t now = platform_clock_ms();
    while (!w.unshown.empty() && w.unshown.front().tick < s.predicted) {
        const PressesRun run = w.unshown.front();
        w.unshown.pop_front();
        const int64_t late = now - run.pressed_ms;
        s.counts.presses_shown += run.count;
        s.counts.press_shown_total_ms += late * run.count;
        s.counts.press_shown_worst_ms = std::max(s.counts.press_shown_worst_ms, late);
    }
}

void room_figures_press_taken(RoomSession& s) {
    RoomWatch& w = s.watch;
    if (!w.batch_ms) w.batch_ms = w.pressed_ms ? w.pressed_ms : platform_clock_ms();
    ++w.batch_presses;
}

void room_figures_presses_run(RoomSession& s, uint32_t tick) {
    RoomWatch& w = s.watch;
    if (!w.batch_presses) return;
    if (w.unshown.size() < UNSHOWN_MAX) w.unshown.push_back({tick, w.batch_ms, w.batch_presses});
    w.batch_ms = 0;
    w.batch_presses = 0;
}

void room_figures_ticked(RoomSession& s) {
    RoomWatch& w = s.watch;
    w.pressed_ms = 0;
    if (s.phase != RoomPhase::in_room || s.away || s.request.controller) {
        w.moved_ms = 0; // nothing of the room's game is on this screen
        return;
    }
    if (s.predicted <= w.shown_tick && w.moved_ms) return;
    const int64_t now = platform_clock_ms();
    if (w.moved_ms) s.counts.longest_still_ms = std::max(s.counts.longest_still_ms, now - w.moved_ms);
    w.shown_tick = s.predicted;
    w.moved_ms = now;
}

void room_figures_restart(RoomSession& s) {
    s.watch = {};
}

std::string room_figures_line(const RoomCounts& c) {
    const long long mean = c.presses_shown ? c.press_shown_total_ms / c.presses_shown : 0;
    char line[256];
    std::snprintf(
        line, sizeof line,
        "room figures: the game stood still %lld ms at longest; own presses (%u) showed %lld ms after on "
        "average, %lld ms at worst; %u rollbacks, the longest %u ticks; %u waits; %u runs again",
        static_cast<long long>(c.longest_still_ms), c.presses_shown, mean,
        static_cast<long long>(c.press_shown_worst_ms), c.rollbacks, c.longest_rollback, c.waits, c.resyncs);
    return line;
}
