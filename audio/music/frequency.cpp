#include "audio/music/frequency.h"

#include "audio/music/song.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double CLASSIC_PERIOD_BASE = 13.375;
constexpr int CLASSIC_TOP_NOTE = 132; // note whose period is the base
constexpr int FINETUNE_STEPS = 128;
// Beyond this the frequency is far above anything audible; bounding it keeps the step finite.
constexpr double MAX_FREQUENCY = 1e9;

int32_t plain_classic_period(int note) {
    return static_cast<int32_t>(
        std::lround(CLASSIC_PERIOD_BASE * std::exp2((CLASSIC_TOP_NOTE - note) / 12.0)));
}

} // namespace

int32_t classic_period(int note, int finetune) {
    int direction = finetune >= 0 ? 1 : -1;
    int32_t here = plain_classic_period(note);
    int32_t diff = plain_classic_period(note + direction) - here;
    if (direction < 0) diff = -diff;
    return here + finetune * diff / FINETUNE_STEPS;
}

int32_t note_period(int real_note, int finetune, bool linear) {
    if (linear) return LINEAR_PERIOD_BASE - LINEAR_PERIODS_PER_NOTE * real_note - finetune / 2;
    return classic_period(real_note, finetune);
}

int64_t period_frequency(int32_t period, int32_t delta, bool linear) {
    int64_t p = int64_t{period} + delta;
    if (p <= 0) return FLOOR_FREQUENCY;
    if (!linear) return CLASSIC_PERIOD_CLOCK / p;
    double exponent =
        static_cast<double>(int64_t{LINEAR_MIDDLE_PERIOD} - period + delta) / LINEAR_PERIODS_PER_OCTAVE;
    return std::llround(std::min(MIDDLE_FREQUENCY * std::exp2(exponent), MAX_FREQUENCY));
}

uint64_t frequency_step(int64_t frequency) {
    return (static_cast<uint64_t>(frequency) << 32) / OUTPUT_RATE;
}
