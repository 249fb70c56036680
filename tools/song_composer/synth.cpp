#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int NOTE_A4 = 57;
constexpr double A4_HERTZ = 440.0;
constexpr int FINETUNE_UNITS = 128; // finetune units per semitone
// Some players honour finetune only in sixteenths of a semitone; tuning in whole sixteenths makes
// every player agree (at most 3 cents from the exact pitch).
constexpr int FINETUNE_STEPS_HONOURED = 16;
constexpr double FULL_SCALE_16 = 32767.0;
constexpr double FULL_SCALE_8 = 127.0;
constexpr int BITS_8_SHIFT = 256; // an 8-bit point is stored as the high byte of a 16-bit one
} // namespace

double note_hertz(int note) {
    return A4_HERTZ * std::exp2((note - NOTE_A4) / 12.0);
}

Tuning tuning_for(double rate, int root) {
    const double semitones = 12 * std::log2(rate / C4_RATE) + NOTE_C4 - root;
    const long steps = std::lround(semitones * FINETUNE_STEPS_HONOURED);
    const long whole = static_cast<long>(std::floor(static_cast<double>(steps) / FINETUNE_STEPS_HONOURED));
    const long fine = (steps - whole * FINETUNE_STEPS_HONOURED) * (FINETUNE_UNITS / FINETUNE_STEPS_HONOURED);
    return {static_cast<int8_t>(whole), static_cast<int8_t>(fine)};
}

Signal harmonic_tone(int length, double cycles_per_point, int harmonics, const HarmonicShape& amplitude) {
    Signal out(static_cast<size_t>(length), 0.0);
    for (int k = 1; k <= harmonics; ++k)
        for (int n = 0; n < length; ++n) {
            // The phase is reduced to one cycle first, so long tones keep their precision.
            const double cycles = std::fmod(k * cycles_per_point * n, 1.0);
            out[static_cast<size_t>(n)] += amplitude(k, n) * std::sin(2 * std::numbers::pi * cycles);
        }
    return out;
}

void mix_into(Signal& out, const Signal& tone, double gain) {
    if (out.size() < tone.size()) out.resize(tone.size(), 0.0);
    for (size_t i = 0; i < tone.size(); ++i)
        out[i] += gain * tone[i];
}

xm::Sample make_sample(const Signal& signal, const SampleSetup& setup) {
    double loudest = 0;
    for (double v : signal)
        loudest = std::max(loudest, std::abs(v));
    const double gain = loudest > 0 ? std::pow(10, setup.peak_db / 20) / loudest : 0;
    xm::Sample s;
    s.name = setup.name;
    s.bits16 = setup.bits16;
    for (double v : signal) {
        const long point = setup.bits16 ? std::lround(v * gain * FULL_SCALE_16)
                                        : std::lround(v * gain * FULL_SCALE_8) * BITS_8_SHIFT;
        s.points.push_back(static_cast<int16_t>(point));
    }
    if (setup.loop.length > 0) {
        s.loop_type = 1;
        s.loop_start = static_cast<uint32_t>(setup.loop.start);
        s.loop_length = static_cast<uint32_t>(setup.loop.length);
    }
    s.relative_note = setup.tuning.relative_note;
    s.finetune = setup.tuning.finetune;
    s.volume = setup.volume;
    s.panning = setup.panning;
    return s;
}

xm::Instrument make_instrument(const char* name, xm::Sample sample, const Articulation& articulation) {
    xm::Instrument in;
    in.name = name;
    in.samples.push_back(std::move(sample));
    const EnvelopeShape& volume = articulation.volume;
    in.volume.points = volume.points;
    in.volume.type = ENVELOPE_ON;
    if (volume.sustain >= 0) {
        in.volume.type |= ENVELOPE_SUSTAIN;
        in.volume.sustain = static_cast<uint8_t>(volume.sustain);
    }
    in.fadeout = articulation.fadeout;
    in.vibrato_sweep = articulation.vibrato.sweep;
    in.vibrato_depth = articulation.vibrato.depth;
    in.vibrato_rate = articulation.vibrato.rate;
    return in;
}
