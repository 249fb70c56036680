// The sequencer's fixed tables: vibrato and tremolo waveforms, the automatic-vibrato shapes and
// the multi-retrigger volume changes.
// Threads: constant data and pure functions.
#pragma once
#include <cstdint>

constexpr int WAVE_PHASES = 64;
constexpr int AUTOVIB_PHASES = 256;

// Vibrato/tremolo waveform value, -127..127, for phase 0..63. Waveform (taken mod 4): 0 sine,
// 1 falling ramp, 2 and 3 square.
int wave_value(int phase, int waveform);

// Automatic vibrato value, -64..64, for phase 0..255. Type 0 sine, 1 square, 2 and 3 ramps.
int autovib_value(int phase, int type);

// Volume after a multi-retrigger with volume code 1..15 (0 leaves it alone).
int32_t retrigger_volume(int32_t volume, int code);
