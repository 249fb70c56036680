// What a person in a room saw, measured on their own machine as it happens: the longest time the
// room's game stood still (from one session tick that took the live game further to the next:
// waiting at the prediction limit, the server's ticks late, or the machine itself too busy to
// tick), and how late this machine's own presses showed, from the window's press to the drawn
// frame whose tick first ran it. The figures go into the session's RoomCounts; keeping
// them costs a few comparisons a tick and changes nothing in the game. Main thread only.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

struct RoomSession;
struct RoomCounts;

// Own presses that ran first in `tick` and are not yet drawn.
struct PressesRun {
    uint32_t tick;
    int64_t pressed_ms; // the oldest of them
    uint32_t count;
};

// The session's bookkeeping for the figures.
struct RoomWatch {
    int64_t pressed_ms = 0; // the oldest press queued since the last session tick (0: none)
    int64_t batch_ms = 0;   // the oldest press taken and not yet run (0: none)
    uint32_t batch_presses = 0;
    std::deque<PressesRun> unshown;
    uint32_t shown_tick = 0; // the furthest tick the live game has reached
    int64_t moved_ms = 0;    // when it last moved on (0: nothing to measure from)
};

// Called by the window's press handlers (through the app): a press is queued now.
void room_session_pressed(RoomSession& s);
// Called by the app after each drawn frame: the presses whose ticks it shows are shown.
void room_session_drawn(RoomSession& s);

// Called by the session: one of the presses of the event queue became a record to run.
void room_figures_press_taken(RoomSession& s);
// Called by the session: the records taken so far run first in `tick`.
void room_figures_presses_run(RoomSession& s, uint32_t tick);
// Called by the session at the end of each tick, and with restart at the room's start again.
void room_figures_ticked(RoomSession& s);
void room_figures_restart(RoomSession& s);

// The figures as one line, for a person or a test to read.
std::string room_figures_line(const RoomCounts& counts);
