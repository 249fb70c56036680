// A machine's place in an online room: the link to the server, the room's closed ticks as they
// come, and the game run on them with this machine's own presses predicted ahead.
//
// The server is the clock. Ticks it has closed are the truth; the game runs ahead of them on this
// machine's own seats' presses alone (no one else's), at most ROOM_PREDICTION_MAX ticks, so a
// person's own turn shows at once. When the closed inputs of a tick differ from what was run,
// the snapshot taken before that tick comes back and the ticks are run again, silently (their
// sounds were heard). A machine behind the server runs the closed ticks back to back. After each
// closed tick the step checksum goes to the server; on RESYNC the game starts again from the
// room's start and the whole log runs again.
//
// Escape (and Space in play) opens this machine's own credits while the room goes on: the game
// of the room is put aside, and on coming back it catches up. The sound switches stay local.
//
// A session ends in failure with one line saying why (the server not reachable, the room full
// or gone, another version, the connection lost); the caller shows it and goes back to the local
// game. Main thread only, one tick at a time; several sessions may live in one process (a test
// plays a whole room in one), each with the game's tables swapped in around its tick.
#pragma once
#include "online/room_figures.h"
#include "online/replay_recorder.h"
#include "online/wire.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct NetLink;

// How far ahead of the closed ticks a machine runs; beyond it, it waits.
constexpr uint32_t ROOM_PREDICTION_MAX = 12;
// How far ahead it runs beyond the round trip that JOINED took, before its own presses show how
// late they reach the server.
constexpr uint32_t ROOM_LEAD_START = 1;
// Closed ticks further behind the server than this run without sound: a late joiner's log, a
// return from the credits.
constexpr uint32_t ROOM_SILENT_CATCH_UP = 40;
// Closed ticks run back to back in one session tick at most, so the window stays alive while a
// long log runs.
constexpr uint32_t ROOM_CATCH_UP_PER_TICK = 200'000;
// Nothing sent for this long: a PING keeps this machine's seats its people's.
constexpr int64_t ROOM_PING_MS = 500;

enum class RoomPhase : uint8_t { connecting, joining, in_room, failed };

// Where to go and what to ask for.
struct RoomRequest {
    std::string url;          // ws://HOST:PORT/ws or wss://...
    bool open = false;        // open a new room, or join `code`
    wire::RoomCode code{};    // JOIN
    uint8_t seats = 1;        // people at this machine (0: watch)
    bool controller = false;  // a phone: turns only, no game
    uint64_t token = 0;       // from an earlier JOINED, to sit in the same seats again
};

// What the room's events made of it, kept beside every snapshot so a rollback takes it back.
struct RoomState {
    uint8_t menu_owner = wire::NO_SEAT;
    uint8_t people = 0; // seats a person steers now, by bit
    uint8_t left = 0;   // seats a person left to the computer, until the person is back
};

// Who steers a seat, as the room's menu and score panel show it.
enum class SeatSteering : uint8_t { you, friend_, computer, free };

// One tick this machine has run and may have to run again.
struct RoomFrame {
    std::vector<uint8_t> snapshot; // the game before the tick
    RoomState room;                // and the room's state then
    std::vector<wire::InputRecord> records; // what the tick ran on
    uint32_t checksum = 0;          // the rules after it
    ReplayTickNote note;            // and what it means to the recording, once closed as run
};

// This machine's own record, sent and not yet seen among the closed ticks.
struct SentRecord {
    uint32_t wanted_tick;
    wire::InputRecord record;
};

// What the session did, for the tests and the measurements.
struct RoomCounts {
    uint32_t rollbacks = 0;
    uint32_t longest_rollback = 0; // ticks run again in one rollback
    uint32_t ticks_run = 0;        // every game tick, first runs and re-runs
    uint32_t waits = 0;            // session ticks that ran nothing, being ROOM_PREDICTION_MAX ahead
    uint32_t latest_own_stamp = 0; // the most ticks one of this machine's presses was stamped late
    uint32_t resyncs = 0;
    // What the person saw (online/room_figures.h).
    int64_t longest_still_ms = 0; // the room's game on the screen standing still
    uint32_t presses_shown = 0;   // own presses drawn, and how late: from the press to the frame
    int64_t press_shown_total_ms = 0;
    int64_t press_shown_worst_ms = 0;
};

struct RoomSession {
    RoomRequest request;
    NetLink* link = nullptr;
    RoomPhase phase = RoomPhase::connecting;
    std::string failure; // one line, once failed

    // From JOINED.
    wire::RoomCode code{};
    uint32_t seed = 0;
    uint8_t seat_mask = 0;
    uint64_t token = 0;
    uint32_t joined_closed = 0; // ticks closed when this machine joined

    // Ticks [0, confirmed) ran on their closed inputs and their checksums are queued or sent;
    // [confirmed, predicted) ran ahead; [0, closed) are closed. The live game is the state at
    // the start of tick `predicted`.
    uint32_t confirmed = 0;
    uint32_t predicted = 0;
    uint32_t closed = 0;
    uint32_t high_water = 0;          // ticks below it have been heard once
    std::deque<std::vector<wire::InputRecord>> closed_inputs; // ticks [confirmed, closed)
    std::vector<RoomFrame> frames;    // ring of ROOM_PREDICTION_MAX + 1, by tick
    RoomState room;                   // as of the live game

    // Own presses: waiting for the next tick run ahead, and sent but not yet closed.
    std::vector<wire::InputRecord> presses;
    std::deque<SentRecord> sent;
    uint32_t own_seen = 0;    // own records seen among the closed ticks since joining (or a resync)
    uint32_t own_matched = 0; // of them, those matched with a sent one
    uint32_t lead = ROOM_LEAD_START;
    uint32_t lead_set_at = 0; // presses asked for before this tick were sent with an older lead
    uint32_t rerun_to = 0;    // after a rollback: the ticks run again reach at least this far

    // The server's clock as seen here: tick t closed at about origin_ms + t * TICK_MS.
    int64_t origin_ms = 0;
    uint32_t origin_messages = 0;

    // Checksums of confirmed ticks not yet sent, from checksums_first on.
    uint32_t checksums_first = 0;
    std::vector<uint32_t> checksums;
    int64_t last_sent_ms = 0;
    int64_t last_heard_ms = 0;
    int64_t asked_ms = 0; // when OPEN or JOIN went

    // The room's games as closed, recorded like local ones; kept when they end from tick
    // keep_from on (not those over before this machine came, nor again after a RESYNC).
    ReplayRecording recording;
    uint32_t keep_from = 0;

    // Away in the credits: the room's game waits in `away_game` meanwhile.
    bool away = false;
    std::vector<uint8_t> away_game;

    RoomCounts counts;
    RoomWatch watch;
};

// Starts connecting; the session is in the connecting phase (or failed, for an address that
// does not parse).
void room_session_start(RoomSession& s, const RoomRequest& request);

// One tick of the session, on the frame timer's clock: what the server sent, this machine's
// presses from the event queue, and the game run, ahead or caught up, as far as the room's clock
// says. Does nothing once failed.
void room_session_tick(RoomSession& s);

// Leaves the room (the seats go to the computer) and closes the link.
void room_session_end(RoomSession& s);

// The seat that owns the room's menu is one of this machine's.
bool room_session_owns_menu(const RoomSession& s);

// Who steers the seat in the live game: this machine's person, a person elsewhere, the computer,
// or nobody.
SeatSteering room_seat_steering(const RoomSession& s, int32_t seat);
