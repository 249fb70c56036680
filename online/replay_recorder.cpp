#include "online/replay_recorder.h"

#include "engine/frame_state.h"
#include "game/computer_players.h"
#include "game/game_tick.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/rules_checksum.h"
#include "online/replay_keep.h"

namespace {

bool recording_on = true;
bool recording; // a game is under way and being written
ReplayWriter writer;

} // namespace

ReplayHeader replay_header_now() {
    ReplayHeader h{};
    h.version = replay_version();
    h.level = current_level;
    h.player_count = player_count;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        h.computers[slot] = computer_slots[slot];
        h.scores[slot] = players[slot].score;
    }
    h.start_tick = frame_count;
    h.seed = game_seed;
    return h;
}

void recorded_tick(const TickInput& input) {
    const int32_t state_before = game_state;
    game_tick(input);
    if (!recording_on) return;
    if (recording) {
        replay_write_tick(writer, input);
        if (game_state == STATE_MENU) {
            recording = false;
            replay_keep(replay_write_finish(writer, rules_checksum()));
        }
    } else if (state_before == STATE_MENU && game_state == STATE_COUNTDOWN) {
        // The presses of the starting tick are in the header's state already.
        replay_write_begin(writer, replay_header_now());
        recording = true;
    }
}

void replay_recording_set(bool on) {
    recording_on = on;
    recording = false;
}
