#include "effect_measure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Channels split_channels(std::span<const uint8_t> raw) {
    Channels c;
    const auto sample = [&](size_t i) { return static_cast<int16_t>(raw[2 * i] | raw[2 * i + 1] << 8); };
    for (size_t frame = 0; frame < raw.size() / 4; ++frame) {
        c.left.push_back(sample(2 * frame));
        c.right.push_back(sample(2 * frame + 1));
    }
    return c;
}

int peak_of(std::span<const uint8_t> raw) {
    int peak = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<int16_t>(raw[i] | raw[i + 1] << 8)));
    return peak;
}

namespace {

double peak_between(std::span<const double> channel, int begin, int end) {
    double peak = 0;
    for (int i = begin; i < end; ++i)
        peak = std::max(peak, std::abs(channel[i]));
    return peak;
}

// Rising crossings inside [begin, end), with a dead band of a tenth of the local peak.
std::vector<double> crossings_between(std::span<const double> channel, int begin, int end) {
    const auto window = channel.subspan(begin, end - begin);
    std::vector<double> found = rising_crossings(window, 0.1 * peak_between(channel, begin, end));
    for (double& f : found)
        f += begin;
    return found;
}

} // namespace

std::vector<double> rising_crossings(std::span<const double> channel, double hysteresis) {
    std::vector<double> found;
    bool below = false;
    for (size_t i = 1; i < channel.size(); ++i) {
        if (channel[i] < -hysteresis) below = true;
        if (below && channel[i - 1] < 0 && channel[i] >= 0) {
            // Interpolate where the wave passes zero between the two frames.
            found.push_back(i - 1 + channel[i - 1] / (channel[i - 1] - channel[i]));
            below = false;
        }
    }
    return found;
}

double pitch_between(std::span<const double> channel, int begin, int end) {
    const std::vector<double> c = crossings_between(channel, begin, end);
    if (c.size() < 2) return 0;
    return (c.size() - 1) * PLAYBACK_RATE / (c.back() - c.front());
}

double period_spread(std::span<const double> channel, int begin, int end) {
    const std::vector<double> c = crossings_between(channel, begin, end);
    if (c.size() < 3) return 0;
    double sum = 0, squares = 0;
    for (size_t i = 1; i < c.size(); ++i) {
        sum += c[i] - c[i - 1];
        squares += (c[i] - c[i - 1]) * (c[i] - c[i - 1]);
    }
    const double n = static_cast<double>(c.size() - 1), mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean)) / mean;
}

double rms(std::span<const double> channel, int begin, int end) {
    double squares = 0;
    for (int i = begin; i < end; ++i)
        squares += channel[i] * channel[i];
    return std::sqrt(squares / (end - begin));
}

double component(std::span<const double> channel, int begin, int end, double hertz) {
    double re = 0, im = 0;
    for (int i = begin; i < end; ++i) {
        const double a = 2 * std::numbers::pi * hertz * i / PLAYBACK_RATE;
        re += channel[i] * std::cos(a);
        im += channel[i] * std::sin(a);
    }
    return 2 * std::hypot(re, im) / (end - begin);
}
