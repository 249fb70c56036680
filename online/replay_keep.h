// Where the replays are kept: the last REPLAYS_KEPT games in the platform's data place (the
// files store), one file each, named replay-NNNNNNNN.qrp with a number that grows, the oldest
// removed first. A store that cannot be written costs the replay, never the game: one line on
// standard error. Main thread only.
#pragma once
#include "online/replay_format.h"

#include <cstddef>
#include <cstdint>
#include <span>

constexpr int32_t REPLAYS_KEPT = 20;

// Keeps a finished recording (an empty one overflowed: said, not kept).
void replay_keep(std::span<const uint8_t> bytes);

// The newest kept replay into buffer; false with the reason in message when there is none or it
// cannot be read.
bool replay_last(std::span<uint8_t> buffer, size_t* size, std::span<char> message);
