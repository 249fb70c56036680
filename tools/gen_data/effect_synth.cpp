#include "effect_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int frames_for(int bytes) {
    return bytes / 4;
}

double Phase::step(double hertz) {
    const double radians = 2 * std::numbers::pi * cycles;
    cycles += hertz / EFFECT_RATE;
    cycles -= std::floor(cycles); // keeps the phase precise over long sounds
    return radians;
}

double Noise::next() {
    // xorshift32: plenty for noise, and the same bits on every platform.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state / 2147483648.0 - 1.0;
}

double BandPass::run(double in, double centre, double damping, double rate) {
    const double f = 2 * std::sin(std::numbers::pi * centre / rate);
    low += f * band;
    high = in - low - damping * band;
    band += f * high;
    return band;
}

double smooth_ramp(double t, double start, double end) {
    const double x = std::clamp((t - start) / (end - start), 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

double edge_fades(double t, double length, double attack, double release) {
    const auto rise = [](double x) {
        return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0));
    };
    return rise(t / attack) * rise((length - t) / release);
}

std::vector<uint8_t> encode(const Sound& sound, int bytes, double peak) {
    double loudest = 0;
    for (const Frame& f : sound)
        loudest = std::max({loudest, std::abs(f.left), std::abs(f.right)});
    const double gain = loudest > 0 ? peak / loudest : 0;

    std::vector<uint8_t> out(static_cast<size_t>(bytes), 0);
    const auto put = [&](size_t sample, double value) {
        const long v = std::lround(std::clamp(value * gain, -32768.0, 32767.0));
        const auto bits = static_cast<uint16_t>(static_cast<int16_t>(v));
        out[2 * sample] = static_cast<uint8_t>(bits & 0xff);
        out[2 * sample + 1] = static_cast<uint8_t>(bits >> 8);
    };
    const size_t frames = std::min(sound.size(), static_cast<size_t>(frames_for(bytes)));
    for (size_t i = 0; i < frames; ++i) {
        put(2 * i, sound[i].left);
        put(2 * i + 1, sound[i].right);
    }
    return out;
}
