// quibbet-replay: plays recorded games headless at full speed with the game's own rules and
// prints every tick's checksum and each game's outcome, the same on every build for the same
// files. Silent: no window, no sound. The timing goes to standard error, apart from what is
// compared.
// Usage: quibbet-replay FILE...   Exit status 0 when every file played as recorded, 1 when one
// could not be read or ended otherwise.
#include "assets/atlas_images.h"
#include "engine/frame_state.h"
#include "engine/image_table.h"
#include "engine/scene.h"
#include "game/game_init.h"
#include "game/game_tick.h"
#include "game/players.h"
#include "game/rules_checksum.h"
#include "game/sounds.h"
#include "online/replay_playback.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace {

std::array<uint8_t, REPLAY_BYTES_MAX + 1> bytes; // one more, so a larger file shows as one

// The game as the program starts it, without a window: the image records (their sizes steer
// some sprites) with no texture behind them, the scenes and sprites, and the menu open.
void game_ready() {
    image_new();
    std::copy(atlas_images.begin(), atlas_images.end(), image_table.begin() + image_count);
    image_count += static_cast<int32_t>(atlas_images.size());
    game_init();
    scene_enter("gameplay");
}

// Plays one file; false when it could not be read or did not end as recorded.
bool play(const char* name, int64_t* ticks_run) {
    FILE* f = std::fopen(name, "rb");
    if (!f) {
        std::printf("%s: cannot open it\n", name);
        return false;
    }
    const size_t size = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    std::array<char, REPLAY_MESSAGE_MAX> message{};
    if (!replay_playback_open({bytes.data(), size}, message)) {
        std::printf("%s: %s\n", name, message.data());
        return false;
    }
    const ReplayHeader& h = replay_playback_header();
    std::printf("%s: level %d, %d players, computers", name, h.level + 1, h.player_count);
    for (int32_t slot = 0; slot < h.player_count; ++slot)
        std::printf(" %d", h.computers[slot] != 0);
    std::printf(", %d ticks\n", h.ticks);
    replay_playback_start();
    TickInput input;
    while (replay_playback_next(input)) {
        game_tick(input);
        std::printf("%d %016" PRIx64 "\n", frame_count, rules_checksum());
        ++*ticks_run;
    }
    int32_t winner = NO_WINNER;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        if (players[slot].score > h.scores[slot]) winner = slot;
    const bool as_recorded = rules_checksum() == replay_playback_final_checksum();
    if (winner == NO_WINNER)
        std::printf("%s: no winner", name);
    else
        std::printf("%s: player %d won", name, winner + 1);
    std::printf(", %s\n", as_recorded ? "as recorded" : "NOT as recorded");
    return as_recorded;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quibbet-replay FILE...\n");
        return 2;
    }
    tick_silent = true;
    game_ready();
    bool all = true;
    int64_t ticks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i < argc; ++i)
        all = play(argv[i], &ticks) && all;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%" PRId64 " ticks in %.3f s: %.0f ticks a second\n", ticks, seconds,
                 seconds > 0 ? static_cast<double>(ticks) / seconds : 0.0);
    return all ? 0 : 1;
}
