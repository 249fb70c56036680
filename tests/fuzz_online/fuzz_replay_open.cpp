// Arbitrary bytes as a replay file: checked, and when accepted, its ticks played on the headless
// game (short ones only, so a run tries many files): no input a file can hold may take the
// rules out of bounds.
#include "engine/scene.h"
#include "game/game_init.h"
#include "game/game_tick.h"
#include "game/sounds.h"
#include "online/replay_playback.h"

#include <array>
#include <cstdlib>

namespace {
constexpr int32_t TICKS_PLAYED_MAX = 5000;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        tick_silent = true;
        game_init();
        scene_enter("gameplay");
        return true;
    }();
    (void)ready;
    const ReplayOpened opened = replay_open({data, size});
    if (!opened.ok) {
        if (opened.message[0] == '\0') std::abort(); // a refusal always says why
        return 0;
    }
    if (opened.header.ticks > TICKS_PLAYED_MAX || current_scene != 3) return 0;
    std::array<char, REPLAY_MESSAGE_MAX> message{};
    if (!replay_playback_open({data, size}, message)) std::abort();
    replay_playback_start();
    TickInput input;
    int32_t ticks = 0;
    while (replay_playback_next(input)) {
        game_tick(input);
        ++ticks;
    }
    if (ticks != opened.header.ticks) std::abort();
    return 0;
}
