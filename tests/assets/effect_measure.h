// Measuring a stored effect the way it is heard: split into left and right channels at 44,100 Hz, then
// pitch from zero crossings, level, and the strength of one frequency.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

constexpr double PLAYBACK_RATE = 44100.0;

struct Channels {
    std::vector<double> left, right;
};

// Decodes raw little-endian 16-bit interleaved samples; a trailing half frame is left out.
Channels split_channels(std::span<const uint8_t> raw);

// Largest absolute sample value of the whole raw effect, including any trailing half frame.
int peak_of(std::span<const uint8_t> raw);

// The rising zero crossings of a channel, as positions in frames. The wave must first dip below
// -`hysteresis`, so rounding noise near silence does not count.
std::vector<double> rising_crossings(std::span<const double> channel, double hysteresis);

// Pitch in Hz over the frames [begin, end), from the rising crossings inside it.
double pitch_between(std::span<const double> channel, int begin, int end);

// Spread of the periods between successive rising crossings in [begin, end): standard deviation over
// mean. Near 0 for a clean tone, large for noise.
double period_spread(std::span<const double> channel, int begin, int end);

// Root mean square over [begin, end).
double rms(std::span<const double> channel, int begin, int end);

// Amplitude of the `hertz` component over [begin, end) (a single-bin Fourier transform).
double component(std::span<const double> channel, int begin, int end, double hertz);
