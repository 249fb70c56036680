// Where our player is in a module at any moment of its render: the order and row each row starts
// at, found by running the sequencer alone (no mixing) as `quibbet-xm render` plays the song once.
#pragma once
#include <cstdint>
#include <vector>

struct RowStart {
    uint64_t frame; // at 48,000 frames a second
    int order, row;
};

// Empty when the module does not load.
std::vector<RowStart> song_positions(const char* module_path, uint64_t frame_limit);

// The row playing at `frame` (the last one when past the end); null for an empty list.
const RowStart* row_at(const std::vector<RowStart>& rows, uint64_t frame);
