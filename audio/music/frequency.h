// Periods and sampling steps: the linear and the classic period tables, and the 32.32 step a
// voice advances by per output frame. The only floating point of the sequencer lives here.
// Threads: the output thread.
#pragma once
#include <cstdint>

constexpr int32_t LINEAR_PERIOD_BASE = 7680; // period of note 0 with no finetune
constexpr int32_t LINEAR_PERIODS_PER_NOTE = 64;
constexpr int32_t LINEAR_MIDDLE_PERIOD = 4608; // plays at 8,363 Hz
constexpr int32_t LINEAR_PERIODS_PER_OCTAVE = 768;
constexpr double MIDDLE_FREQUENCY = 8363.0;
constexpr int64_t CLASSIC_PERIOD_CLOCK = 14317456;
constexpr int64_t FLOOR_FREQUENCY = 40; // what a period of 0 or below plays at
// Slides keep periods inside this range so that long runs of them never overflow.
constexpr int32_t PERIOD_LIMIT = 1 << 24;

// Classic period of note k (0-based, 8-bit) with finetune f: between the neighbouring semitones.
int32_t classic_period(int note, int finetune);

// Period of a played note (note with the sample's relative note) in either table.
int32_t note_period(int real_note, int finetune, bool linear);

// Frequency in Hz of period + delta (the delta raises the pitch in linear mode, lowers the
// period in classic mode), 40 Hz at or below period 0.
int64_t period_frequency(int32_t period, int32_t delta, bool linear);

// frequency x 2^32 / 48,000, truncated.
uint64_t frequency_step(int64_t frequency);
