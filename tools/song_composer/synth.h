// Building blocks of the song's instruments: XM tuning, additive tones whose harmonics change over
// time, and the conversion of a signal into a module sample and instrument (noise and the band-pass
// filter come from the effect generator's kit). Signals are plain vectors of doubles at the sample's
// own rate; nothing here depends on the song.
#pragma once
#include "effect_synth.h"
#include "tools/xm_writer/xm_writer.h"

#include <cstdint>
#include <functional>
#include <vector>

using Signal = std::vector<double>;

constexpr int NOTE_C4 = 48;        // 0-based note numbers: C-0 is 0, one per semitone
constexpr double C4_RATE = 8363.0; // points per second of a sample played at C-4 without tuning

// Equal-tempered pitch of a 0-based note, A-4 (57) at 440 Hz.
double note_hertz(int note);

// Relative note and finetune that make note `root` play a sample at `rate` points per second, to the
// nearest sixteenth of a semitone.
struct Tuning {
    int8_t relative_note;
    int8_t finetune;
};
Tuning tuning_for(double rate, int root);

// Sum of the harmonics of a tone of `cycles_per_point` over `length` points: harmonic k (1-based,
// up to `harmonics`) has the amplitude amplitude(k, point). Each harmonic starts at phase 0.
using HarmonicShape = std::function<double(int harmonic, int point)>;
Signal harmonic_tone(int length, double cycles_per_point, int harmonics, const HarmonicShape& amplitude);

// out += gain * tone, sized to the longer of the two.
void mix_into(Signal& out, const Signal& tone, double gain);

// Where a sample loops, in points; a length of 0 means no loop.
struct Loop {
    int start = 0, length = 0;
};

// How a signal becomes a module sample. The stored peak places the instrument in the mix; the
// default volume is what a note gets unless the score sets one.
struct SampleSetup {
    const char* name;
    bool bits16 = true;
    Loop loop{};
    Tuning tuning{};
    double peak_db = 0; // loudest point, relative to full scale
    uint8_t volume = 64;
    uint8_t panning = 128;
};

xm::Sample make_sample(const Signal& signal, const SampleSetup& setup);

struct EnvelopeShape {
    std::vector<EnvelopePoint> points; // ticks of 10 ms at the song's tempo, values 0..64
    int sustain = -1;                  // point held until the note is released, -1 none
};

struct AutoVibrato {
    uint8_t sweep = 0, depth = 0, rate = 0; // sine wave; ticks to full depth, 1/64 semitone, phase step
};

// How a note of the instrument moves: its volume envelope, how fast it fades once released
// (silent after 32,768 / fadeout ticks) and its automatic vibrato.
struct Articulation {
    EnvelopeShape volume;
    uint16_t fadeout = 0;
    AutoVibrato vibrato{};
};

xm::Instrument make_instrument(const char* name, xm::Sample sample, const Articulation& articulation);
