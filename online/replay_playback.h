// Playing a recorded game again: from the menu of the gameplay scene the recorded game starts as
// it did (level, players, computer slots, scores, tick, seed), and then each tick runs on the
// recorded input instead of the local presses, until the last, in which the menu came back.
// The same for the game on screen (with its sounds) and for the headless player.
// Main thread only.
#pragma once
#include "game/tick_input.h"
#include "online/replay_format.h"

#include <cstdint>
#include <span>

// Checks and takes a copy of a replay file; false with the reason in message.
bool replay_playback_open(std::span<const uint8_t> bytes, std::span<char> message);

// The header of the opened replay.
const ReplayHeader& replay_playback_header();
// What the rules' checksum was after the recorded game's last tick.
uint64_t replay_playback_final_checksum();

// Starts the opened game; the gameplay scene must be current with its menu open.
void replay_playback_start();

// The next tick's input; false when none is left.
bool replay_playback_next(TickInput& input);

// True from the start until the last recorded tick has been given.
bool replay_playback_active();
