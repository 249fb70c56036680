// A replay file played on a fresh headless game as the headless player plays: the rules'
// checksum at its end, to hold against the one the file ends with.
#pragma once
#include "game/game_tick.h"
#include "game/rules_checksum.h"
#include "game/sounds.h"
#include "game_harness.h"
#include "online/replay_playback.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

inline uint64_t played_back(const std::vector<uint8_t>& file) {
    harness_start();
    harness_enter_gameplay();
    tick_silent = true;
    std::array<char, REPLAY_MESSAGE_MAX> message{};
    EXPECT_TRUE(replay_playback_open(file, message)) << message.data();
    replay_playback_start();
    TickInput input;
    while (replay_playback_next(input))
        game_tick(input);
    tick_silent = false;
    const uint64_t sum = rules_checksum();
    harness_stop();
    return sum;
}
