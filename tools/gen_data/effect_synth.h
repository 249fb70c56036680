// Building blocks of the stored sound effects: stereo frames at the effects device's rate, a noise source
// with a fixed seed, a band-pass filter, and the encoding into raw signed 16-bit little-endian interleaved
// samples. The song composer shares the noise and the filter.
#pragma once
#include <cstdint>
#include <vector>

constexpr double EFFECT_RATE = 44100.0;

struct Frame {
    double left, right;
};
using Sound = std::vector<Frame>;

// Frames that fill a stored effect of `bytes` bytes; a trailing half frame is not counted.
int frames_for(int bytes);

// Oscillator phase that follows a changing frequency, in cycles (one cycle is one period).
struct Phase {
    double cycles = 0;
    // Advances by one frame at `hertz` and returns the phase before the step, in radians.
    double step(double hertz);
};

// Deterministic white noise in -1..1, independent of the C library.
struct Noise {
    uint32_t state;
    double next();
};

// Two-pole resonant band-pass (state-variable form) that follows a moving centre frequency. The
// high-pass output of the same step is kept in `high`. With f = 2 sin(pi centre / rate) it is stable
// only while f < sqrt(4 + damping^2) - damping: high centres need a high rate or more damping.
struct BandPass {
    double low = 0, band = 0, high = 0;
    double run(double in, double centre, double damping, double rate = EFFECT_RATE);
};

// 0 before `start`, 1 after `end`, a smooth S-curve between (times in seconds).
double smooth_ramp(double t, double start, double end);

// Raised-cosine fade-in over `attack` and fade-out over the last `release` seconds of `length` seconds,
// so a sound starts and stops without a click.
double edge_fades(double t, double length, double attack, double release);

// Scales the sound so its loudest sample reaches `peak` and writes `bytes` bytes of interleaved left and
// right samples. A trailing half frame holds silence.
std::vector<uint8_t> encode(const Sound& sound, int bytes, double peak);
