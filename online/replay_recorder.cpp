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
ReplayRecording local;

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

ReplayTickNote replay_note(const TickInput& input, int32_t state_before) {
    ReplayTickNote note{};
    note.input = input;
    note.starts = state_before == STATE_MENU && game_state == STATE_COUNTDOWN;
    if (note.starts) note.header = replay_header_now();
    note.ends = state_before != STATE_MENU && game_state == STATE_MENU;
    if (note.ends) note.final_checksum = rules_checksum();
    return note;
}

void replay_record(ReplayRecording& r, const ReplayTickNote& note, bool keep) {
    if (!recording_on) return;
    if (r.recording) {
        replay_write_tick(*r.writer, note.input);
        if (note.ends) {
            r.recording = false;
            const std::span<const uint8_t> bytes = replay_write_finish(*r.writer, note.final_checksum);
            if (keep) replay_keep(bytes);
        }
    } else if (note.starts) {
        // The presses of the starting tick are in the header's state already.
        if (!r.writer) r.writer = std::make_unique<ReplayWriter>();
        replay_write_begin(*r.writer, note.header);
        r.recording = true;
    }
}

void recorded_tick(const TickInput& input) {
    const int32_t state_before = game_state;
    game_tick(input);
    if (recording_on) replay_record(local, replay_note(input, state_before));
}

void replay_recording_set(bool on) {
    recording_on = on;
    local.recording = false;
}
