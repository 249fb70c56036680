// Short-time spectra for the song chart: a Hann-windowed FFT around a point of a mono signal,
// read out on a logarithmic frequency scale.
#pragma once
#include <vector>

// Level (dB of full scale, a full-scale sine reading 0) at each of `bands` frequencies spaced
// evenly in pitch from `low` to `high` hertz, for the window of `size` points (a power of two)
// centred on `centre`. Points outside the signal count as silence.
std::vector<double> log_spectrum(const std::vector<double>& mono, double rate, long centre, int size,
                                 int bands, double low, double high);
