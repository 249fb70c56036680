// The drum kit, synthesised in time at each drum's own rate and tuned so that DRUM_NOTE plays it
// as recorded. Drums ring out on their own (no loop, no sustain); the cymbals also carry a volume
// envelope that takes their tails down faster than the samples alone would.
#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace {
constexpr double PI = std::numbers::pi;

// A drum's sample length and rate.
struct Take {
    double rate;
    double seconds;
    double release_seconds; // the raised-cosine fade that ends it
    int points() const { return static_cast<int>(rate * seconds); }
    double time(size_t point) const { return static_cast<double>(point) / rate; }
    // Raised-cosine fade over the last release_seconds, so no take ends on a step.
    double tail(double t) const {
        const double x = std::clamp((seconds - t) / release_seconds, 0.0, 1.0);
        return 0.5 - 0.5 * std::cos(PI * x);
    }
};

// A few sines well above the fundamentals of the kit, at ratios that share no harmonics: the
// shimmer that makes noise sound like metal.
double metal(double t) {
    constexpr double HERTZ[] = {3110, 4730, 5870, 7290, 8620, 10310};
    double sum = 0;
    for (double f : HERTZ)
        sum += std::sin(2 * PI * f * t);
    return sum / std::size(HERTZ);
}

xm::Sample drum_sample(const char* name, const Signal& s, bool bits16, const Take& take, double peak_db,
                       uint8_t panning) {
    return make_sample(s, {.name = name,
                           .bits16 = bits16,
                           .tuning = tuning_for(take.rate, DRUM_NOTE),
                           .peak_db = peak_db,
                           .panning = panning});
}

// Drums that need no envelope: full level until the sample ends.
const Articulation RING_OUT{.volume = {{{0, 64}, {1, 64}}}};

// Stored peaks (dB of full scale); the score sets every hit's volume. The noisy drums are 8-bit
// and stored at full scale, where their grain hides under their own noise.
constexpr double KICK_PEAK_DB = -12, SNARE_PEAK_DB = -9.5, HAT_PEAK_DB = 0, TOM_PEAK_DB = -12,
                 CRASH_PEAK_DB = 0;

constexpr uint8_t PAN_KICK = 128, PAN_SNARE = 138, PAN_HATS = 172, PAN_TOM = 112, PAN_CRASH = 92;
} // namespace

// A sine whose pitch drops fast from a punch to a low body, with a short click of filtered noise.
xm::Instrument kick() {
    constexpr Take take{16000, 0.34, 0.03};
    constexpr double BODY_HERTZ = 46, DROP_HERTZ = 120, DROP_SECONDS = 0.03, DECAY_SECONDS = 0.17;
    constexpr double CLICK_LEVEL = 0.35, CLICK_SECONDS = 0.0015, CLICK_CENTRE = 2500, CLICK_DAMPING = 1.0;
    constexpr uint32_t CLICK_SEED = 0x2f6b1d3a;
    Signal s(static_cast<size_t>(take.points()));
    Noise noise{CLICK_SEED};
    BandPass click;
    double cycles = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = take.time(i);
        const double body = std::sin(2 * PI * cycles) * std::exp(-t / DECAY_SECONDS);
        cycles += (BODY_HERTZ + DROP_HERTZ * std::exp(-t / DROP_SECONDS)) / take.rate;
        const double snap = CLICK_LEVEL * std::exp(-t / CLICK_SECONDS) *
                            click.run(noise.next(), CLICK_CENTRE, CLICK_DAMPING, take.rate);
        s[i] = (body + snap) * take.tail(t);
    }
    return make_instrument("kick", drum_sample("kick", s, true, take, KICK_PEAK_DB, PAN_KICK), RING_OUT);
}

// Two drum-head modes bending down a little, under a longer rattle of band- and high-passed noise.
xm::Instrument snare() {
    constexpr Take take{32000, 0.26, 0.04};
    constexpr double LOW_HERTZ = 182, HIGH_HERTZ = 331, LOW_SHARE = 0.6, DROP = 0.25, DROP_SECONDS = 0.015;
    constexpr double BODY_LEVEL = 0.7, BODY_SECONDS = 0.045;
    constexpr double RATTLE_LEVEL = 0.9, RATTLE_SECONDS = 0.085, RATTLE_CENTRE = 4200, RATTLE_DAMPING = 1.3;
    constexpr double RATTLE_HISS = 0.5; // share of the filter's high-pass output
    constexpr uint32_t RATTLE_SEED = 0x5ea1c0de;
    Signal s(static_cast<size_t>(take.points()));
    Noise noise{RATTLE_SEED};
    BandPass filter;
    double low = 0, high = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = take.time(i);
        const double bend = 1 + DROP * std::exp(-t / DROP_SECONDS);
        const double body = (LOW_SHARE * std::sin(2 * PI * low) + (1 - LOW_SHARE) * std::sin(2 * PI * high)) *
                            std::exp(-t / BODY_SECONDS);
        low += LOW_HERTZ * bend / take.rate;
        high += HIGH_HERTZ * bend / take.rate;
        filter.run(noise.next(), RATTLE_CENTRE, RATTLE_DAMPING, take.rate);
        const double rattle = (filter.band + RATTLE_HISS * filter.high) * std::exp(-t / RATTLE_SECONDS);
        s[i] = (BODY_LEVEL * body + RATTLE_LEVEL * rattle) * take.tail(t);
    }
    return make_instrument("snare", drum_sample("snare", s, true, take, SNARE_PEAK_DB, PAN_SNARE), RING_OUT);
}

namespace {
constexpr double HAT_RATE = 44100;

// High-passed noise with the metal shimmer and a ring near the top, closed or let ring.
Signal hat(const Take& take, double decay_seconds, uint32_t seed) {
    constexpr double SHIMMER = 0.35, CUT_HERTZ = 6000, CUT_DAMPING = 1.4;
    constexpr double RING_HERTZ = 9000, RING_DAMPING = 0.7, RING_LEVEL = 0.5;
    Signal s(static_cast<size_t>(take.points()));
    Noise noise{seed};
    BandPass cut, ring;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = take.time(i);
        cut.run(noise.next() + SHIMMER * metal(t), CUT_HERTZ, CUT_DAMPING, take.rate);
        const double bright = cut.high + RING_LEVEL * ring.run(cut.high, RING_HERTZ, RING_DAMPING, take.rate);
        s[i] = bright * std::exp(-t / decay_seconds) * take.tail(t);
    }
    return s;
}
} // namespace

xm::Instrument closed_hat() {
    constexpr Take take{HAT_RATE, 0.07, 0.01};
    const Signal s = hat(take, 0.018, 0x1badcafe);
    return make_instrument("closed hat", drum_sample("closed hat", s, false, take, HAT_PEAK_DB, PAN_HATS),
                           RING_OUT);
}

xm::Instrument open_hat() {
    constexpr Take take{HAT_RATE, 0.42, 0.01};
    const Signal s = hat(take, 0.16, 0x0ddba11);
    return make_instrument("open hat", drum_sample("open hat", s, false, take, HAT_PEAK_DB, PAN_HATS),
                           {.volume = {{{0, 64}, {20, 40}, {42, 0}}}});
}

// A sine that settles from half again its pitch, with a thump of noise; the score bends it further.
xm::Instrument tom() {
    constexpr Take take{16000, 0.4, 0.05};
    constexpr double HERTZ = 118, BEND = 0.5, BEND_SECONDS = 0.04, DECAY_SECONDS = 0.15;
    constexpr double THUMP_LEVEL = 0.25, THUMP_SECONDS = 0.004;
    constexpr uint32_t THUMP_SEED = 0x70770770;
    Signal s(static_cast<size_t>(take.points()));
    Noise noise{THUMP_SEED};
    double cycles = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = take.time(i);
        const double body = std::sin(2 * PI * cycles) * std::exp(-t / DECAY_SECONDS);
        cycles += HERTZ * (1 + BEND * std::exp(-t / BEND_SECONDS)) / take.rate;
        s[i] = (body + THUMP_LEVEL * std::exp(-t / THUMP_SECONDS) * noise.next()) * take.tail(t);
    }
    return make_instrument("tom", drum_sample("tom", s, true, take, TOM_PEAK_DB, PAN_TOM), RING_OUT);
}

// A wash of high-passed noise and shimmer with a body around 6 kHz, struck fast and dying slowly.
xm::Instrument crash() {
    constexpr Take take{28000, 1.0, 0.1};
    constexpr double DECAY_SECONDS = 0.38, STRIKE_SECONDS = 0.002, SHIMMER = 0.5;
    constexpr double CUT_HERTZ = 2800, CUT_DAMPING = 1.2, BODY_HERTZ = 6000, BODY_DAMPING = 0.9,
                     BODY_LEVEL = 0.6;
    constexpr uint32_t SEED = 0xc1a5c1a5;
    Signal s(static_cast<size_t>(take.points()));
    Noise noise{SEED};
    BandPass cut, body;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = take.time(i);
        cut.run(noise.next() + SHIMMER * metal(t), CUT_HERTZ, CUT_DAMPING, take.rate);
        const double wash = cut.high + BODY_LEVEL * body.run(cut.high, BODY_HERTZ, BODY_DAMPING, take.rate);
        s[i] = wash * std::min(1.0, t / STRIKE_SECONDS) * std::exp(-t / DECAY_SECONDS) * take.tail(t);
    }
    return make_instrument("crash", drum_sample("crash", s, false, take, CRASH_PEAK_DB, PAN_CRASH),
                           {.volume = {{{0, 64}, {40, 44}, {100, 0}}}});
}
