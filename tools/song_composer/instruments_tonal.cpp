// The pitched instruments. Each is built from whole cycles so that its loop joins without a seam:
// a short attack whose harmonics change (a pluck closing, a bell's clang dying away) runs into a loop
// whose harmonics hold still; the volume envelope does the rest. Detuned voices are chosen to complete
// whole cycles over the loop, which is what lets a chorus loop too. Harmonics stop short of the top
// of each instrument's range, so nothing folds back when the sample is played high.
#include "instruments.h"

#include <cmath>
#include <iterator>
#include <numbers>

namespace {
constexpr double PI = std::numbers::pi;
constexpr int TUNING_ROOT = 57; // where a cycle-built sample is given its pitch

Tuning cycle_tuning(int points_per_cycle) {
    return tuning_for(note_hertz(TUNING_ROOT) * points_per_cycle, TUNING_ROOT);
}

// A low-pass that closes from `from` to `to` harmonics over the first `points`, then stays.
double closing(int point, int points, double from, double to) {
    if (point >= points) return to;
    const double left = 1 - static_cast<double>(point) / points;
    return to + (from - to) * left * left;
}

double rolloff(int harmonic, double cutoff, int order) {
    return 1 / (1 + std::pow(harmonic / cutoff, order));
}

double saw(int harmonic) {
    return 1.0 / harmonic;
}

// Stored peaks (dB of full scale): the balance of the band before any volume in the score.
constexpr double LEAD_PEAK_DB = -8.5, FLUTE_PEAK_DB = -15.5, BASS_PEAK_DB = -15.5, PAD_PEAK_DB = -20.5,
                 PLUCK_PEAK_DB = -13.5, BELL_PEAK_DB = -11.5, STAB_PEAK_DB = -15.5;

// Pans: the tune in the middle, accompaniment to the sides so that it never sits on top of the tune.
constexpr uint8_t PAN_CENTRE = 128, PAN_FLUTE = 176, PAN_PLUCK = 76, PAN_BELL = 188, PAN_STAB = 104;
} // namespace

// A pulse a little narrower than square, bright on the attack, with a quiet second voice a few cents
// up for body.
xm::Instrument lead() {
    constexpr int POINTS = 64, LOOP_CYCLES = 128, ATTACK_CYCLES = 24, HARMONICS = 12;
    constexpr double DUTY = 0.3, CHORUS_LEVEL = 0.3, BRIGHT = 18, SETTLED = 8;
    constexpr int loop = POINTS * LOOP_CYCLES, attack = POINTS * ATTACK_CYCLES;
    const auto shape = [](int k, int n) {
        return std::sin(PI * k * DUTY) / k * rolloff(k, closing(n, attack, BRIGHT, SETTLED), 2);
    };
    Signal s = harmonic_tone(attack + loop, 1.0 / POINTS, HARMONICS, shape);
    mix_into(s, harmonic_tone(attack + loop, (LOOP_CYCLES + 1.0) / loop, HARMONICS, shape), CHORUS_LEVEL);
    return make_instrument("lead",
                           make_sample(s, {.name = "lead",
                                           .loop = {attack, loop},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = LEAD_PEAK_DB,
                                           .volume = 44,
                                           .panning = PAN_CENTRE}),
                           {.volume = {{{0, 28}, {2, 64}, {8, 52}, {24, 46}}, 3},
                            .fadeout = 2200,
                            .vibrato = {.sweep = 24, .depth = 5, .rate = 14}});
}

// Nearly a sine, with a breath of band-passed noise at the start that is gone before the loop.
xm::Instrument flute() {
    constexpr int POINTS = 32, ATTACK_CYCLES = 16;
    constexpr double HARMONIC_LEVELS[] = {1.0, 0.22, 0.12, 0.04};
    constexpr uint32_t BREATH_SEED = 0x6c8e9cf5;
    // The breath's filter runs at one cycle of the tone per POINTS, so its centre is in harmonics.
    constexpr double BREATH_LEVEL = 0.18, BREATH_CENTRE_HARMONIC = 3.0, BREATH_DAMPING = 0.8;
    constexpr int attack = POINTS * ATTACK_CYCLES;
    Signal s = harmonic_tone(attack + POINTS, 1.0 / POINTS, std::size(HARMONIC_LEVELS),
                             [&](int k, int) { return HARMONIC_LEVELS[k - 1]; });
    Noise noise{BREATH_SEED};
    BandPass filter;
    for (int n = 0; n < attack; ++n) {
        const double fade = 1 - static_cast<double>(n) / attack;
        s[static_cast<size_t>(n)] += BREATH_LEVEL * fade * fade *
                                     filter.run(noise.next(), BREATH_CENTRE_HARMONIC, BREATH_DAMPING, POINTS);
    }
    return make_instrument("flute",
                           make_sample(s, {.name = "flute",
                                           .loop = {attack, POINTS},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = FLUTE_PEAK_DB,
                                           .volume = 40,
                                           .panning = PAN_FLUTE}),
                           {.volume = {{{0, 0}, {3, 64}, {12, 54}}, 2},
                            .fadeout = 1500,
                            .vibrato = {.sweep = 40, .depth = 7, .rate = 12}});
}

// A saw with a strong fundamental whose steep low-pass snaps shut on every note.
xm::Instrument bass() {
    constexpr int POINTS = 128, ATTACK_CYCLES = 20, HARMONICS = 40;
    constexpr double SUB_BOOST = 1.3, BRIGHT = 28, SETTLED = 5;
    constexpr int attack = POINTS * ATTACK_CYCLES;
    Signal s = harmonic_tone(attack + POINTS, 1.0 / POINTS, HARMONICS, [](int k, int n) {
        return (k == 1 ? SUB_BOOST : 1.0) * saw(k) * rolloff(k, closing(n, attack, BRIGHT, SETTLED), 4);
    });
    return make_instrument("bass",
                           make_sample(s, {.name = "bass",
                                           .loop = {attack, POINTS},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = BASS_PEAK_DB,
                                           .volume = 52,
                                           .panning = PAN_CENTRE}),
                           {.volume = {{{0, 64}, {6, 52}, {30, 44}}, 2}, .fadeout = 4000});
}

// Three dark saws a few cents apart, beating slowly against each other.
xm::Instrument pad() {
    constexpr int POINTS = 64, LOOP_CYCLES = 128, HARMONICS = 16;
    constexpr double DARK = 5;
    constexpr int loop = POINTS * LOOP_CYCLES;
    const auto shape = [](int k, int) { return saw(k) * rolloff(k, DARK, 2); };
    Signal s;
    for (int detune = -1; detune <= 1; ++detune)
        mix_into(s, harmonic_tone(loop, (LOOP_CYCLES + detune) / static_cast<double>(loop), HARMONICS, shape),
                 1);
    return make_instrument("pad",
                           make_sample(s, {.name = "pad",
                                           .loop = {0, loop},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = PAD_PEAK_DB,
                                           .volume = 36,
                                           .panning = PAN_CENTRE}),
                           {.volume = {{{0, 0}, {14, 64}, {40, 52}}, 2},
                            .fadeout = 700,
                            .vibrato = {.sweep = 60, .depth = 2, .rate = 8}});
}

// A plucked string: every harmonic dies away, the higher ones much sooner.
xm::Instrument pluck() {
    constexpr int POINTS = 32, ATTACK_CYCLES = 40, HARMONICS = 12;
    constexpr double SLOPE = -1.1;
    constexpr double DAMPING_POINTS = 8000; // harmonic k falls by e every DAMPING_POINTS / k^2 points
    constexpr int attack = POINTS * ATTACK_CYCLES;
    Signal s = harmonic_tone(attack + POINTS, 1.0 / POINTS, HARMONICS, [](int k, int n) {
        const int held = n < attack ? n : attack; // the loop keeps what is left at its start
        return std::pow(k, SLOPE) * std::exp(-held * k * k / DAMPING_POINTS);
    });
    return make_instrument(
        "pluck",
        make_sample(s, {.name = "pluck",
                        .loop = {attack, POINTS},
                        .tuning = cycle_tuning(POINTS),
                        .peak_db = PLUCK_PEAK_DB,
                        .volume = 40,
                        .panning = PAN_PLUCK}),
        {.volume = {{{0, 64}, {6, 44}, {20, 26}, {50, 12}, {90, 4}, {140, 0}}}, .fadeout = 1000});
}

// A struck bar: a clang of partials off the harmonic series dies within the attack, leaving the
// fundamental and a fading octave to ring.
xm::Instrument bell() {
    constexpr int POINTS = 32, ATTACK_CYCLES = 64;
    constexpr int attack = POINTS * ATTACK_CYCLES;
    struct Partial {
        double ratio, level, decay_cycles;
    };
    constexpr Partial CLANG[] = {{2.76, 0.45, 10}, {5.40, 0.28, 5}, {8.93, 0.16, 3}};
    constexpr double OCTAVE_FROM = 0.6, OCTAVE_TO = 0.25, OCTAVE_DECAY_CYCLES = 20;
    Signal s = harmonic_tone(attack + POINTS, 1.0 / POINTS, 2, [](int k, int n) {
        if (k == 1) return 1.0;
        const double cycles = (n < attack ? n : attack) / static_cast<double>(POINTS);
        return OCTAVE_TO + (OCTAVE_FROM - OCTAVE_TO) * std::exp(-cycles / OCTAVE_DECAY_CYCLES);
    });
    for (const Partial& p : CLANG) {
        const Signal clang = harmonic_tone(attack, p.ratio / POINTS, 1, [&](int, int n) {
            const double cycles = n / static_cast<double>(POINTS);
            return p.level * std::exp(-cycles / p.decay_cycles) * (1 - static_cast<double>(n) / attack);
        });
        mix_into(s, clang, 1);
    }
    return make_instrument("bell",
                           make_sample(s, {.name = "bell",
                                           .loop = {attack, POINTS},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = BELL_PEAK_DB,
                                           .volume = 36,
                                           .panning = PAN_BELL}),
                           {.volume = {{{0, 64}, {8, 46}, {30, 28}, {80, 12}, {150, 0}}}, .fadeout = 800});
}

// Two brassy saws a few cents apart with a bright bite on the attack; the score cuts it short.
xm::Instrument stab() {
    constexpr int POINTS = 64, LOOP_CYCLES = 128, ATTACK_CYCLES = 12, HARMONICS = 24;
    constexpr double BRIGHT = 20, SETTLED = 7;
    constexpr int loop = POINTS * LOOP_CYCLES, attack = POINTS * ATTACK_CYCLES;
    const auto shape = [](int k, int n) {
        return saw(k) * rolloff(k, closing(n, attack, BRIGHT, SETTLED), 2);
    };
    Signal s = harmonic_tone(attack + loop, 1.0 / POINTS, HARMONICS, shape);
    mix_into(s, harmonic_tone(attack + loop, (LOOP_CYCLES + 1.0) / loop, HARMONICS, shape), 1);
    return make_instrument("stab",
                           make_sample(s, {.name = "stab",
                                           .loop = {attack, loop},
                                           .tuning = cycle_tuning(POINTS),
                                           .peak_db = STAB_PEAK_DB,
                                           .volume = 40,
                                           .panning = PAN_STAB}),
                           {.volume = {{{0, 64}, {4, 50}, {14, 36}}, 2}, .fadeout = 5000});
}
