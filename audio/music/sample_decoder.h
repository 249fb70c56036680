// Samples: the normalised header record and the points, always stored as signed 16-bit
// whatever the file held (8-bit or 16-bit deltas, or 4-bit packed deltas), followed by the
// loop guard point that lets the mixer interpolate one point ahead without a bounds test.
// Threads: the loading thread.
#pragma once
#include "audio/music/module_source.h"
#include "audio/music/song.h"

#include <span>

constexpr uint8_t SAMPLE_PACKED_4BIT = 0xAD;
constexpr int SAMPLE_SPARE_POINTS = 3;
constexpr uint8_t SAMPLE_LOOP_NONE = 0, SAMPLE_LOOP_FORWARD = 1, SAMPLE_LOOP_PING_PONG = 2;

// Normalises a raw sample header (up to 40 bytes, zeros where the file gave fewer) and
// allocates its record with room for the points. Null when the sample has 2^22 points or more
// or the arena is full.
SampleRecord* sample_from_header(std::span<const uint8_t, 40> raw);

// Reads the sample's points from the stream and sets its loop guard point.
void read_sample_points(ModuleSource& source, SampleRecord& sample);

// The points, guard and spare points included.
inline std::span<int16_t> sample_points(SampleRecord& sample) {
    return {sample.data, static_cast<size_t>(sample.length) + SAMPLE_SPARE_POINTS};
}
inline std::span<const int16_t> sample_points(const SampleRecord& sample) {
    return {sample.data, static_cast<size_t>(sample.length) + SAMPLE_SPARE_POINTS};
}
