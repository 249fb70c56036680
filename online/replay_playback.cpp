#include "online/replay_playback.h"

#include "engine/frame_state.h"
#include "game/computer_players.h"
#include "game/credits.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/scores.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

std::array<uint8_t, REPLAY_BYTES_MAX> file;
ReplayOpened opened;
bool active;

} // namespace

bool replay_playback_open(std::span<const uint8_t> bytes, std::span<char> message) {
    active = false;
    opened = replay_open(bytes);
    if (!opened.ok) {
        std::snprintf(message.data(), message.size(), "%s", opened.message);
        return false;
    }
    // The reader walks our own copy, so the caller's bytes may go.
    std::copy(bytes.begin(), bytes.end(), file.begin());
    opened.reader.bytes = {file.data(), opened.reader.bytes.size()};
    return true;
}

const ReplayHeader& replay_playback_header() {
    return opened.header;
}

uint64_t replay_playback_final_checksum() {
    return opened.final_checksum;
}

void replay_playback_start() {
    const ReplayHeader& h = opened.header;
    current_level = h.level;
    scores_set_player_count(h.player_count);
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        computer_slots[slot] = h.computers[slot];
        players[slot].score = h.scores[slot];
    }
    score_digits_refresh();
    frame_count = h.start_tick;
    game_begin(h.seed);
    active = h.ticks > 0;
    credits_may_quit = !active;
}

bool replay_playback_next(TickInput& input) {
    if (!active) return false;
    // Checked when opened, so every recorded tick reads as one.
    const bool given = replay_next(opened.reader, input) == ReplayStep::tick;
    active = given && opened.reader.ticks_left > 0;
    credits_may_quit = !active;
    return given;
}

bool replay_playback_active() {
    return active;
}
