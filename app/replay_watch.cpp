#include "app/replay_watch.h"

#include "app/app.h"
#include "game/computer_players.h"
#include "game/game_tick.h"
#include "game/music_request.h"
#include "game/rules_checksum.h"
#include "game/scores.h"
#include "online/replay_keep.h"
#include "online/replay_playback.h"
#include "online/replay_recorder.h"
#include "platform/module_file.h"

#include <array>
#include <cstdio>

bool replay_requested;
const char* replay_file;

namespace {

std::array<uint8_t, REPLAY_BYTES_MAX + 1> bytes; // one more, so a larger file shows as one

// The player's own menu choices, which the recorded game's header overrides while it plays.
struct OwnChoices {
    bool held;
    int32_t level, player_count;
    std::array<int32_t, PLAYER_SLOTS> computers;
};
OwnChoices own;

// The whole file, up to the buffer's size; false when it cannot be opened.
bool file_read(const char* name, size_t* size) {
    PlatformFile* f = platform_file_open(name);
    if (!f) return false;
    *size = platform_file_read_at(f, 0, bytes.data(), static_cast<uint32_t>(bytes.size()));
    platform_file_close(f);
    return true;
}

} // namespace

bool replay_watch_load() {
    std::array<char, REPLAY_MESSAGE_MAX + 64> message{};
    size_t size = 0;
    bool read = false;
    if (replay_file) {
        read = file_read(replay_file, &size);
        if (!read) std::snprintf(message.data(), message.size(), "cannot open %s", replay_file);
    } else {
        read = replay_last(bytes, &size, message);
    }
    if (read && replay_playback_open({bytes.data(), size}, message)) return true;
    std::fprintf(stderr, "quibbet: cannot play the replay: %s\n", message.data());
    return false;
}

void replay_watch_start() {
    own = {true, current_level, player_count, computer_slots};
    replay_playback_start();
    // Nothing recorded after the start: the game it began is the player's to play.
    own.held = replay_playback_active();
    if (!own.held) return;
    replay_recording_set(false); // a replay is no new game to keep
    music_request_start();       // as the title would have started it
}

void app_tick() {
    TickInput input;
    tick_input_take(input);
    TickInput recorded;
    if (!replay_playback_next(recorded)) {
        recorded_tick(input);
        return;
    }
    game_tick(recorded);
    if (replay_playback_active()) return;
    // That was the last recorded tick: the menu is back, and the game is the player's again.
    if (rules_checksum() != replay_playback_final_checksum())
        std::fprintf(stderr, "quibbet: the replay ended otherwise than it was recorded\n");
    replay_watch_restore();
    replay_recording_set(true);
}

void replay_watch_restore() {
    if (!own.held) return;
    own.held = false;
    current_level = own.level;
    scores_set_player_count(own.player_count);
    computer_slots = own.computers;
}
