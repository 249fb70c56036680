#include "audio/music/waveforms.h"

#include <array>
#include <cmath>

namespace {

// round(127 x sin(pi x i / 32))
constexpr std::array<uint8_t, 32> HALF_SINE = {0,   12,  25,  37,  49,  60,  71,  81,  90,  98,  106,
                                               112, 117, 122, 125, 126, 127, 126, 125, 122, 117, 112,
                                               106, 98,  90,  81,  71,  60,  49,  37,  25,  12};
// round(64 x sin(pi x i / 128)), i = 0..64
constexpr std::array<uint8_t, 65> QUARTER_SINE = {
    0,  2,  3,  5,  6,  8,  9,  11, 12, 14, 16, 17, 19, 20, 22, 23, 24, 26, 27, 29, 30, 32,
    33, 34, 36, 37, 38, 39, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56,
    56, 57, 58, 59, 59, 60, 60, 61, 61, 62, 62, 62, 63, 63, 63, 64, 64, 64, 64, 64, 64};

constexpr int WAVE_PEAK = 127;
constexpr int AUTOVIB_PEAK = 64;
constexpr int RAMP_STEP = 4; // the ramp spans 64 phases within the sine's range

struct RetriggerChange {
    int add, multiply, divide;
};
// Indexed by the volume code 0..15.
constexpr std::array<RetriggerChange, 16> RETRIGGER = {{{0, 1, 1},
                                                        {-1, 1, 1},
                                                        {-2, 1, 1},
                                                        {-4, 1, 1},
                                                        {-8, 1, 1},
                                                        {-16, 1, 1},
                                                        {0, 2, 3},
                                                        {0, 1, 2},
                                                        {0, 1, 1},
                                                        {1, 1, 1},
                                                        {2, 1, 1},
                                                        {4, 1, 1},
                                                        {8, 1, 1},
                                                        {16, 1, 1},
                                                        {0, 3, 2},
                                                        {0, 2, 1}}};

} // namespace

int wave_value(int phase, int waveform) {
    phase &= WAVE_PHASES - 1;
    bool second_half = phase >= WAVE_PHASES / 2;
    switch (waveform & 3) {
    case 0:
        return second_half ? -HALF_SINE[phase & 31] : HALF_SINE[phase & 31];
    case 1:
        // Falls from 0 to -124, jumps to 126 and falls back towards 0: a saw with the sine's
        // phase origin and within its range.
        return second_half ? 2 * WAVE_PEAK - RAMP_STEP * phase : -RAMP_STEP * phase;
    default:
        return second_half ? -WAVE_PEAK : WAVE_PEAK;
    }
}

int autovib_value(int phase, int type) {
    phase &= AUTOVIB_PHASES - 1;
    switch (type) {
    case 0: {
        int a = phase & 127;
        int v = QUARTER_SINE[a <= 64 ? a : 128 - a];
        return phase >= 128 ? -v : v;
    }
    case 1:
        return phase < 128 ? AUTOVIB_PEAK : -AUTOVIB_PEAK;
    case 2:
        return (128 - ((phase - 128) & 255)) >> 1;
    default:
        return (128 - ((128 - phase) & 255)) >> 1;
    }
}

int32_t retrigger_volume(int32_t volume, int code) {
    const RetriggerChange& change = RETRIGGER[static_cast<size_t>(code & 15)];
    return volume * change.multiply / change.divide + change.add;
}
