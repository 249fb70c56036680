// Games recorded as the program records them (recorded_tick, kept in the virtual files store),
// played by a random player on the headless game: each on the level its number picks, so a run
// of 17 or more covers every level, with slots going to the computer and back as the player
// clicks their pictures.
#pragma once
#include "game/rounds.h"
#include "game/sounds.h"
#include "game/tick_input.h"
#include "game_harness.h"
#include "online/replay_recorder.h"
#include "random_player.h"
#include "virtual_platform.h"

#include <functional>
#include <string>

constexpr int32_t NEXT_LEVEL_X = 311, NEXT_LEVEL_Y = 266;
// Far more than any game of random turns takes.
constexpr int64_t RECORDING_TICKS_MAX = 4'000'000;

// Plays until `games` have been kept, calling kept(name, bytes) for each as it is kept and
// taking it out of the store. Silent, as the headless player is. False if they took too long.
inline bool games_record(int32_t games, uint32_t seed,
                         const std::function<void(const std::string&, const std::string&)>& kept) {
    harness_start();
    tick_silent = true;
    replay_recording_set(true);
    RandomPlayer player(seed);
    int32_t recorded = 0;
    auto& store = virtual_platform().store[STORE_DATA];
    for (int64_t t = 0; t < RECORDING_TICKS_MAX && recorded < games; ++t) {
        if (game_state == STATE_MENU && harness_scene() == "gameplay" &&
            current_level != recorded % LEVEL_COUNT)
            harness_click(NEXT_LEVEL_X, NEXT_LEVEL_Y);
        else
            player.act();
        TickInput input;
        tick_input_take(input);
        recorded_tick(input);
        for (const auto& [name, bytes] : store) {
            kept(name, bytes);
            ++recorded;
        }
        store.clear();
    }
    tick_silent = false;
    harness_stop();
    return recorded >= games;
}
