// Recording the games as they are played: a game is taken from the tick that starts it (its
// header: level, players, computer slots, scores, tick and seed) through every later tick's
// input to the tick in which the menu comes back, and then kept (replay_keep). A game left by
// quitting is not kept: it has no end to watch. Each timeline records on its own: the local
// game here, a room's game in its session, which notes each tick as it runs and records it only
// once the server has closed it as run. Main thread only.
#pragma once
#include "game/tick_input.h"
#include "online/replay_format.h"

#include <memory>

// The header a game starting now has: call it in the tick that started it.
ReplayHeader replay_header_now();

// What a tick meant to its game's recording, taken right after the tick.
struct ReplayTickNote {
    TickInput input;
    bool starts;         // the tick started a game, whose header is
    ReplayHeader header;
    bool ends;           // the menu came back, with the rules' checksum then
    uint64_t final_checksum;
};
ReplayTickNote replay_note(const TickInput& input, int32_t state_before);

// A game's recording under way.
struct ReplayRecording {
    bool recording = false;
    std::unique_ptr<ReplayWriter> writer; // made for the first game
};

// Takes the noted tick into the recording; a game that ends is kept if `keep` (a room's games
// that ended before this machine came are not its to keep). Nothing while recording is off.
void replay_record(ReplayRecording& r, const ReplayTickNote& note, bool keep = true);

// game_tick with the local game's recording around it. Off (a plain game_tick) while a replay plays.
void recorded_tick(const TickInput& input);

// Stops or resumes recording; a local game under way when it stops is dropped.
void replay_recording_set(bool on);
