// xm-loudness: compares renders of one module by their loudness over time. Reads 16-bit PCM WAV
// files (any rate, mono or stereo), takes the RMS of every 50 ms window, and prints one line:
// the length of each file in seconds, then the correlation of the first file's loudness curve
// with each of the others over the windows they share ("-" for a file that cannot be read or
// for a curve that never changes). Used by xm_compare.sh to judge our player against others.
//   xm-loudness OURS.wav OTHER.wav [OTHER.wav ...]
// With --cut it looks for notes that ours cuts or adds: the share of windows in which the two
// judges agree within 1 dB but ours is more than 3 dB from both, then the worst such windows with
// the order and row our player is at there.
//   xm-loudness --cut MODULE.xm OURS.wav JUDGE.wav JUDGE.wav
#include "song_positions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace {
constexpr double WINDOW_SECONDS = 0.050;
constexpr size_t RIFF_HEADER_BYTES = 12;
constexpr size_t CHUNK_HEADER_BYTES = 8;
constexpr uint16_t FORMAT_PCM = 1, FORMAT_EXTENSIBLE = 0xFFFE;
constexpr uint16_t BITS_16 = 16;
constexpr int MAX_CHANNELS = 8;
constexpr double FULL_SCALE = 32768.0;
constexpr double SILENCE_DB = -120;
constexpr double QUIET_DB = -60; // windows this quiet in all three renders are left out
constexpr double JUDGES_AGREE_DB = 1;
constexpr double OURS_APART_DB = 3;
constexpr int WORST_WINDOWS = 5;
constexpr uint64_t OUTPUT_RATE_HZ = 48000;
constexpr uint64_t POSITION_LIMIT_FRAMES = OUTPUT_RATE_HZ * 60 * 30;

struct Curve {
    double seconds;
    std::vector<double> rms; // one value a window
};

uint32_t le(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// Walks the chunks to "fmt " and "data"; nothing is trusted beyond the bytes the file has.
std::optional<Curve> read_curve(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
        bytes.insert(bytes.end(), block, block + n);
    std::fclose(f);
    if (bytes.size() < RIFF_HEADER_BYTES || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    uint32_t rate = 0, channels = 0, bits = 0, format = 0;
    size_t at = RIFF_HEADER_BYTES;
    while (at + CHUNK_HEADER_BYTES <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + at;
        const size_t size = std::min<size_t>(le(chunk + 4, 4), bytes.size() - at - CHUNK_HEADER_BYTES);
        const uint8_t* body = chunk + CHUNK_HEADER_BYTES;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            format = le(body, 2);
            channels = le(body + 2, 2);
            rate = le(body + 4, 4);
            bits = le(body + 14, 2);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if ((format != FORMAT_PCM && format != FORMAT_EXTENSIBLE) || bits != BITS_16 || rate == 0 ||
                channels == 0 || channels > MAX_CHANNELS)
                return std::nullopt;
            const size_t frame_bytes = 2 * channels;
            const size_t frames = size / frame_bytes;
            const size_t window = static_cast<size_t>(std::lround(rate * WINDOW_SECONDS));
            Curve curve{static_cast<double>(frames) / rate, {}};
            for (size_t start = 0; start < frames; start += window) {
                const size_t end = std::min(frames, start + window);
                double sum = 0;
                for (size_t i = start * channels; i < end * channels; ++i) {
                    const auto s = static_cast<int16_t>(le(body + 2 * i, 2));
                    sum += static_cast<double>(s) * s;
                }
                curve.rms.push_back(std::sqrt(sum / static_cast<double>((end - start) * channels)));
            }
            return curve;
        }
        at += CHUNK_HEADER_BYTES + size + (size & 1);
    }
    return std::nullopt;
}

// Pearson correlation over the windows both curves have; none when either is flat there.
std::optional<double> correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    if (n < 2) return std::nullopt;
    double mean_a = 0, mean_b = 0;
    for (size_t i = 0; i < n; ++i) {
        mean_a += a[i];
        mean_b += b[i];
    }
    mean_a /= static_cast<double>(n);
    mean_b /= static_cast<double>(n);
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - mean_a) * (b[i] - mean_b);
        aa += (a[i] - mean_a) * (a[i] - mean_a);
        bb += (b[i] - mean_b) * (b[i] - mean_b);
    }
    if (aa <= 0 || bb <= 0) return std::nullopt;
    return ab / std::sqrt(aa * bb);
}
double decibels(double rms) {
    return rms > 0 ? std::max(20 * std::log10(rms / FULL_SCALE), SILENCE_DB) : SILENCE_DB;
}

// A window's level in dB, silence where the render has ended.
double level(const Curve& c, size_t i) {
    return i < c.rms.size() ? decibels(c.rms[i]) : SILENCE_DB;
}

// Players differ by a constant gain: the median difference over the windows loud in both.
double gain_offset(const Curve& ours, const Curve& judge, size_t windows) {
    std::vector<double> differences;
    for (size_t i = 0; i < windows; ++i)
        if (level(ours, i) > QUIET_DB && level(judge, i) > QUIET_DB)
            differences.push_back(level(ours, i) - level(judge, i));
    if (differences.empty()) return 0;
    auto middle = differences.begin() + static_cast<std::ptrdiff_t>(differences.size() / 2);
    std::nth_element(differences.begin(), middle, differences.end());
    return *middle;
}

struct Apart {
    size_t window;
    double distance; // dB from the nearer judge
};

int cut_notes(const char* module, const char* ours_path, const char* a_path, const char* b_path) {
    const std::optional<Curve> ours = read_curve(ours_path), a = read_curve(a_path), b = read_curve(b_path);
    if (!ours || !a || !b) {
        std::puts("-");
        return 1;
    }
    const size_t windows = std::max({ours->rms.size(), a->rms.size(), b->rms.size()});
    const double gain_a = gain_offset(*ours, *a, windows), gain_b = gain_offset(*ours, *b, windows);
    size_t counted = 0;
    std::vector<Apart> apart;
    for (size_t i = 0; i < windows; ++i) {
        const double o = level(*ours, i), la = level(*a, i) + gain_a, lb = level(*b, i) + gain_b;
        if (o < QUIET_DB && la < QUIET_DB && lb < QUIET_DB) continue;
        ++counted;
        const double distance = std::min(std::abs(o - la), std::abs(o - lb));
        if (std::abs(la - lb) <= JUDGES_AGREE_DB && distance > OURS_APART_DB) apart.push_back({i, distance});
    }
    std::printf("%.2f\n",
                counted ? 100.0 * static_cast<double>(apart.size()) / static_cast<double>(counted) : 0.0);
    std::sort(apart.begin(), apart.end(),
              [](const Apart& x, const Apart& y) { return x.distance > y.distance; });
    const std::vector<RowStart> rows = song_positions(module, POSITION_LIMIT_FRAMES);
    for (size_t k = 0; k < apart.size() && k < WORST_WINDOWS; ++k) {
        const size_t i = apart[k].window;
        const double seconds = static_cast<double>(i) * WINDOW_SECONDS;
        const RowStart* r = row_at(rows, static_cast<uint64_t>(seconds * OUTPUT_RATE_HZ));
        std::printf("  %8.2f s  order %3d row %3d  ours %6.1f dB, judges %6.1f %6.1f\n", seconds,
                    r ? r->order : -1, r ? r->row : -1, level(*ours, i), level(*a, i) + gain_a,
                    level(*b, i) + gain_b);
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--cut") == 0) return cut_notes(argv[2], argv[3], argv[4], argv[5]);
    if (argc < 3) {
        std::fputs("usage: xm-loudness OURS.wav OTHER.wav [OTHER.wav ...]\n"
                   "       xm-loudness --cut MODULE.xm OURS.wav JUDGE.wav JUDGE.wav\n",
                   stderr);
        return 2;
    }
    std::vector<std::optional<Curve>> curves;
    for (int i = 1; i < argc; ++i)
        curves.push_back(read_curve(argv[i]));
    for (const auto& c : curves)
        c ? std::printf("%.3f ", c->seconds) : std::printf("- ");
    for (size_t i = 1; i < curves.size(); ++i) {
        const std::optional<double> r =
            curves[0] && curves[i] ? correlation(curves[0]->rms, curves[i]->rms) : std::nullopt;
        r ? std::printf("%.3f", *r) : std::printf("-");
        std::printf(i + 1 < curves.size() ? " " : "\n");
    }
    return curves[0] ? 0 : 1;
}
