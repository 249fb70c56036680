#include "spectrum.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace {
using Complex = std::complex<double>;
constexpr double SILENCE_DB = -200;

void fft(std::vector<Complex>& x) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const Complex turn = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            Complex w = 1;
            for (size_t k = 0; k < length / 2; ++k) {
                const Complex a = x[start + k], b = x[start + k + length / 2] * w;
                x[start + k] = a + b;
                x[start + k + length / 2] = a - b;
                w *= turn;
            }
        }
    }
}
} // namespace

std::vector<double> log_spectrum(const std::vector<double>& mono, double rate, long centre, int size,
                                 int bands, double low, double high) {
    std::vector<Complex> x(static_cast<size_t>(size));
    double window_sum = 0;
    for (int i = 0; i < size; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / size);
        window_sum += hann;
        const long at = centre - size / 2 + i;
        const double v = at >= 0 && at < static_cast<long>(mono.size()) ? mono[static_cast<size_t>(at)] : 0;
        x[static_cast<size_t>(i)] = v * hann;
    }
    fft(x);
    std::vector<double> out(static_cast<size_t>(bands));
    for (int b = 0; b < bands; ++b) {
        const double hertz = low * std::pow(high / low, (b + 0.5) / bands);
        const double bin = hertz * size / rate;
        const size_t k = static_cast<size_t>(bin);
        const double t = bin - static_cast<double>(k);
        // A sine of amplitude a peaks at a * window_sum / 2 in its bin.
        const double magnitude = (1 - t) * std::abs(x[k]) + t * std::abs(x[k + 1]);
        const double level = 2 * magnitude / window_sum;
        out[static_cast<size_t>(b)] = level > 0 ? 20 * std::log10(level) : SILENCE_DB;
    }
    return out;
}
