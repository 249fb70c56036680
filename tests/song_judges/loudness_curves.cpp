// Compares renders of one song by different players: each render's length and its loudness second by
// second (RMS over both channels, dBFS). Players may differ by a constant gain, so the curves are
// compared by their correlation and by how far any second strays from the median difference.
//   loudness_curves OURS.wav THEIRS.wav...
// Prints the curves and the figures; exits 1 when a render's length or curve departs from the first.
#include "wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr double MAX_LENGTH_GAP_SECONDS = 0.25;
constexpr double MIN_CORRELATION = 0.98;
constexpr double MAX_STRAY_DB = 1.5;
constexpr double SILENCE_DB = -120;

struct Curve {
    double seconds;
    std::vector<double> db; // one value per whole second
};

bool load(const char* path, Curve& curve) {
    WavAudio audio;
    std::string why;
    if (!wav_read(path, audio, why)) {
        std::fprintf(stderr, "loudness_curves: %s: %s\n", path, why.c_str());
        return false;
    }
    const size_t per_second = static_cast<size_t>(audio.sample_rate) * static_cast<size_t>(audio.channels);
    curve.seconds = static_cast<double>(audio.samples.size()) / static_cast<double>(per_second);
    for (size_t from = 0; from + per_second <= audio.samples.size(); from += per_second) {
        double power = 0;
        for (size_t i = from; i < from + per_second; ++i)
            power += static_cast<double>(audio.samples[i]) * audio.samples[i];
        power /= static_cast<double>(per_second) * 32768.0 * 32768.0;
        curve.db.push_back(power > 0 ? 10 * std::log10(power) : SILENCE_DB);
    }
    return true;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b, size_t n) {
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) {
        ma += a[i] / static_cast<double>(n);
        mb += b[i] / static_cast<double>(n);
    }
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: loudness_curves OURS.wav THEIRS.wav...\n", stderr);
        return 2;
    }
    std::vector<Curve> curves(static_cast<size_t>(argc - 1));
    for (int i = 1; i < argc; ++i)
        if (!load(argv[i], curves[static_cast<size_t>(i - 1)])) return 2;
    size_t seconds = curves[0].db.size();
    for (const Curve& c : curves)
        seconds = std::min(seconds, c.db.size());
    std::printf("second");
    for (int i = 1; i < argc; ++i)
        std::printf("  %s", argv[i]);
    std::printf("\n");
    for (size_t s = 0; s < seconds; ++s) {
        std::printf("%6zu", s);
        for (const Curve& c : curves)
            std::printf("  %7.2f", c.db[s]);
        std::printf("\n");
    }
    bool agree = true;
    const Curve& ours = curves[0];
    for (size_t k = 1; k < curves.size(); ++k) {
        const Curve& theirs = curves[k];
        std::vector<double> gaps;
        for (size_t s = 0; s < seconds; ++s)
            gaps.push_back(theirs.db[s] - ours.db[s]);
        std::vector<double> sorted = gaps;
        std::ranges::sort(sorted);
        const double median = sorted[sorted.size() / 2];
        double stray = 0;
        for (double g : gaps)
            stray = std::max(stray, std::abs(g - median));
        const double r = correlation(ours.db, theirs.db, seconds);
        const double length_gap = std::abs(theirs.seconds - ours.seconds);
        std::printf("%s: %.3f s against %.3f s, correlation %.4f, level %+.2f dB, largest stray %.2f dB\n",
                    argv[k + 1], theirs.seconds, ours.seconds, r, median, stray);
        if (length_gap > MAX_LENGTH_GAP_SECONDS || r < MIN_CORRELATION || stray > MAX_STRAY_DB) agree = false;
    }
    return agree ? 0 : 1;
}
