#include "audio/music/frequency.h"

#include "audio/music/song.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double AMIGA_BASE = 13.375;
constexpr int AMIGA_TOP_NOTE = 132; // note whose period is the base
constexpr int FINETUNE_STEPS = 128;
// Beyond this the frequency is far above anything audible; bounding it keeps the step finite.
constexpr double MAX_FREQUENCY = 1e9;

int32_t plain_amiga_period(int note) {
    return static_cast<int32_t>(std::lround(AMIGA_BASE * std::exp2((AMIGA_TOP_NOTE - note) / 12.0)));
}

} // namespace

int32_t amiga_period(int note, int finetune) {
    int direction = finetune >= 0 ? 1 : -1;
    int32_t here = plain_amiga_period(note);
    int32_t diff = plain_amiga_period(note + direction) - here;
    if (direction < 0) diff = -diff;
    return here + finetune * diff / FINETUNE_STEPS;
}

int32_t note_period(int real_note, int finetune, bool linear) {
    if (linear) return LINEAR_PERIOD_BASE - LINEAR_PERIODS_PER_NOTE * real_note - finetune / 2;
    return amiga_period(real_note, finetune);
}

int64_t period_frequency(int32_t period, int32_t delta, bool linear) {
    int64_t p = int64_t{period} + delta;
    if (p <= 0) return FLOOR_FREQUENCY;
    if (!linear) return AMIGA_CLOCK / p;
    double exponent =
        static_cast<double>(int64_t{LINEAR_MIDDLE_PERIOD} - period + delta) / LINEAR_PERIODS_PER_OCTAVE;
    return std::llround(std::min(MIDDLE_FREQUENCY * std::exp2(exponent), MAX_FREQUENCY));
}

uint64_t frequency_step(int64_t frequency) {
    return (static_cast<uint64_t>(frequency) << 32) / OUTPUT_RATE;
}
