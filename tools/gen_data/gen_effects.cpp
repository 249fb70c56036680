// Writes the four stored sound effects, tic.raw, bounce.raw, death.raw and winner.raw: raw signed 16-bit
// little-endian samples played as interleaved stereo at 44,100 Hz. Lengths are fixed by the game; each is
// a whole number of frames plus one trailing sample, which is silent.
//   tic     quiet step clock: a rising sweep that dissolves into noise
//   bounce  loud blip falling from 1.5 kHz to 550 Hz when two players collide
//   death   quiet tone falling from 1.1 kHz to 280 Hz when a player drops
//   winner  loud 250 Hz tone with a strong octave that rings out
#include "effect_synth.h"
#include "output_file.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int TIC_BYTES = 26294;
constexpr int BOUNCE_BYTES = 8654;
constexpr int DEATH_BYTES = 43578;
constexpr int WINNER_BYTES = 85070;

constexpr double TIC_PEAK = 2500;
constexpr double BOUNCE_PEAK = 17000;
constexpr double DEATH_PEAK = 2300;
constexpr double WINNER_PEAK = 16000;

constexpr uint32_t TIC_NOISE_SEED_LEFT = 0x7a1c0de5;
constexpr uint32_t TIC_NOISE_SEED_RIGHT = 0x51ab0bb1;

// Exponential glide: sounds like an even fall or rise in pitch.
double glide(double from, double to, double x) {
    return from * std::pow(to / from, x);
}

// The sweep climbs from 300 Hz to 1.6 kHz; from 40 % of the way in, band-passed noise that follows
// it takes over, each channel with noise of its own so the end sounds wide.
Sound tic() {
    const int frames = frames_for(TIC_BYTES);
    const double length = frames / EFFECT_RATE;
    Sound s(frames);
    Phase tone;
    Noise noise[2] = {{TIC_NOISE_SEED_LEFT}, {TIC_NOISE_SEED_RIGHT}};
    BandPass filter[2];
    for (int i = 0; i < frames; ++i) {
        const double t = i / EFFECT_RATE;
        const double hertz = glide(300, 1600, t / length);
        const double sine = std::sin(tone.step(hertz));
        const double noisy = smooth_ramp(t, 0.4 * length, 0.9 * length);
        const double envelope = edge_fades(t, length, 0.002, 0.035) * (1 - 0.3 * t / length);
        double out[2];
        for (int c = 0; c < 2; ++c) {
            const double hiss = filter[c].run(noise[c].next(), 1.5 * hertz, 0.6);
            out[c] = envelope * ((1 - noisy) * sine + noisy * 2.2 * hiss);
        }
        s[i] = {out[0], out[1]};
    }
    return s;
}

// A short bright blip: the pitch drops fast and the level dies away with it.
Sound bounce() {
    const int frames = frames_for(BOUNCE_BYTES);
    const double length = frames / EFFECT_RATE;
    Sound s(frames);
    Phase phase;
    for (int i = 0; i < frames; ++i) {
        const double t = i / EFFECT_RATE;
        const double x = phase.step(glide(1500, 550, t / length));
        const double envelope = edge_fades(t, length, 0.001, 0.008) * std::exp(-t / 0.03);
        const double v = envelope * (std::sin(x) + 0.25 * std::sin(2 * x));
        s[i] = {v, v};
    }
    return s;
}

// A falling tone with a slight warble, sagging like a sigh.
Sound death() {
    const int frames = frames_for(DEATH_BYTES);
    const double length = frames / EFFECT_RATE;
    Sound s(frames);
    Phase phase;
    for (int i = 0; i < frames; ++i) {
        const double t = i / EFFECT_RATE;
        const double warble = 1 + 0.02 * std::sin(2 * std::numbers::pi * 16 * t);
        const double x = phase.step(glide(1100, 280, t / length) * warble);
        const double envelope = edge_fades(t, length, 0.003, 0.04) * (1 - 0.4 * t / length);
        const double v = envelope * (std::sin(x) + 0.3 * std::sin(2 * x));
        s[i] = {v, v};
    }
    return s;
}

// A struck tone: the fundamental with a strong octave and a touch of the twelfth, the upper partials
// fading sooner, as a bell does. The right channel sits a fraction of a hertz higher, which gives the
// ring a slow stereo shimmer.
Sound winner() {
    const int frames = frames_for(WINNER_BYTES);
    const double length = frames / EFFECT_RATE;
    Sound s(frames);
    Phase phase[2];
    const double hertz[2] = {250.0, 250.6};
    for (int i = 0; i < frames; ++i) {
        const double t = i / EFFECT_RATE;
        const double fades = edge_fades(t, length, 0.004, 0.05);
        double out[2];
        for (int c = 0; c < 2; ++c) {
            const double x = phase[c].step(hertz[c]);
            out[c] = fades * (std::exp(-t / 0.13) * std::sin(x) + 0.5 * std::exp(-t / 0.1) * std::sin(2 * x) +
                              0.12 * std::exp(-t / 0.06) * std::sin(3 * x));
        }
        s[i] = {out[0], out[1]};
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    const char* directory = output_directory(argc, argv);
    if (!directory) return 2;
    const bool written = write_output(directory, "tic.raw", encode(tic(), TIC_BYTES, TIC_PEAK)) &&
                         write_output(directory, "bounce.raw", encode(bounce(), BOUNCE_BYTES, BOUNCE_PEAK)) &&
                         write_output(directory, "death.raw", encode(death(), DEATH_BYTES, DEATH_PEAK)) &&
                         write_output(directory, "winner.raw", encode(winner(), WINNER_BYTES, WINNER_PEAK));
    return written ? 0 : 1;
}
