// Plays effects through the real effects module and device, and checks a recording of them.
//   sfx_tool play RECORDING NAME...   starts the module, then plays each named effect to its end,
//                                    printing "NAME AT" with AT the size in bytes the recording
//                                    had when the effect was handed over
//   sfx_tool check RECORDING NAME AT [NAME AT...]
//                                    finds each stored effect in the recording (raw 16-bit stereo
//                                    at 44,100 Hz) after its AT, in the given order, and prints its
//                                    place, match, level and delay; exit 1 when one is missing
// Linked with the real backend of the platform; the sound E2E tests drive it.
#include "assets/embedded.h"
#include "audio/sfx.h"
#include "platform/clock.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
constexpr int FRAME_RATE = 44'100;
constexpr int64_t RELEASE_TIMEOUT_MS = 10'000;
constexpr int GAP_BETWEEN_EFFECTS_MS = 200;
constexpr size_t WARM_UP_SAMPLES = FRAME_RATE / 10 * 2; // 100 ms of stereo silence
constexpr int LOUD = 1000;                              // both checked effects peak far above this
constexpr int64_t SEARCH_BACK = 2048;  // frames before the first loud frame where a match may start
constexpr int64_t SEARCH_AHEAD = 2048; // past a tail of the previous effect that came out late
// The recording's size is read just after the hand-over, through the system's file layer; under
// a compatibility layer that read can come a few milliseconds late, after the sound has begun.
constexpr int64_t HANDOVER_SLACK = FRAME_RATE / 20;
constexpr int64_t MAX_DELAY_FRAMES = FRAME_RATE * 2;
constexpr double MIN_MATCH = 0.95;
constexpr double MIN_LEVEL = 0.8, MAX_LEVEL = 1.25;

long file_size(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

int play(const char* recording, int count, char** names) {
    sfx_enabled = 0; // open the device and render the tone first, as the game's first request does
    sfx_play("");
    sfx_enabled = 1;
    // Some systems start their stream only with the first buffer and drop its first milliseconds;
    // a game has played many effects by the time one matters, so start with silence.
    static const std::array<int16_t, WARM_UP_SAMPLES> silence{};
    if (sfx_play_wait(silence.data(), sizeof silence) != 0) {
        std::fprintf(stderr, "the device refused a buffer\n");
        return 1;
    }
    std::fflush(stdout);
    for (int k = 0; k < count; ++k) {
        platform_sleep_ms(GAP_BETWEEN_EFFECTS_MS);
        sfx_play(names[k]);
        sfx_pump();
        std::printf("%s %ld\n", names[k], file_size(recording));
        std::fflush(stdout);
        const int64_t deadline = platform_clock_ms() + RELEASE_TIMEOUT_MS;
        while (sfx_module.state == SFX_PLAYING) {
            if (platform_clock_ms() > deadline) {
                std::fprintf(stderr, "%s was never released\n", names[k]);
                return 1;
            }
            platform_sleep_ms(1);
            sfx_pump();
        }
    }
    return 0;
}

struct Found {
    int64_t start = -1; // frame where the stored samples line up best
    double match = 0, level = 0;
};

// Normalised cross-correlation of the stored effect (whole frames) against the recording, at
// every frame offset near the first loud frame after `after`.
Found find(const std::vector<int16_t>& rec, const EmbeddedAsset& effect, int64_t after) {
    const int64_t frames = static_cast<int64_t>(rec.size() / 2);
    const int64_t n = effect.size / 4 * 2; // samples of whole frames
    std::vector<double> e(static_cast<size_t>(n));
    double ee = 0;
    for (int64_t i = 0; i < n; ++i) {
        int16_t v;
        std::memcpy(&v, effect.data + 2 * i, 2);
        e[static_cast<size_t>(i)] = v;
        ee += double(v) * v;
    }
    int64_t loud = -1;
    for (int64_t f = after; f < frames && f < after + MAX_DELAY_FRAMES && loud < 0; ++f)
        if (std::abs(rec[2 * f]) > LOUD || std::abs(rec[2 * f + 1]) > LOUD) loud = f;
    Found best;
    if (loud < 0) return best;
    for (int64_t s = std::max(after, loud - SEARCH_BACK); s <= loud + SEARCH_AHEAD; ++s) {
        if (2 * s + n > static_cast<int64_t>(rec.size())) break;
        double re = 0, rr = 0;
        for (int64_t i = 0; i < n; ++i) {
            const double r = rec[static_cast<size_t>(2 * s + i)];
            re += r * e[static_cast<size_t>(i)];
            rr += r * r;
        }
        const double match = rr > 0 ? re / std::sqrt(rr * ee) : 0;
        if (match > best.match) best = {s, match, std::sqrt(rr / ee)};
    }
    return best;
}

int check(const char* recording, int count, char** args) {
    std::ifstream in(recording, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> rec(bytes.size() / 4 * 2);
    std::memcpy(rec.data(), bytes.data(), rec.size() * 2);
    int failures = 0;
    int64_t previous_end = 0;
    for (int k = 0; k + 1 < count; k += 2) {
        const char* name = args[k];
        const int64_t at = std::atoll(args[k + 1]) / 4;
        const EmbeddedAsset* effect = embedded_asset_find((std::string(name) + ".raw").c_str());
        if (!effect) {
            std::printf("%s: no such stored effect\n", name);
            return 1;
        }
        const Found f = find(rec, *effect, std::max(at - HANDOVER_SLACK, previous_end));
        int64_t first = f.start;
        while (first >= 0 && first < static_cast<int64_t>(rec.size() / 2) && rec[2 * first] == 0 &&
               rec[2 * first + 1] == 0)
            ++first;
        const bool ok = f.start >= 0 && f.match >= MIN_MATCH && f.level >= MIN_LEVEL && f.level <= MAX_LEVEL;
        std::printf("%s: %s at frame %lld (handed over at %lld), match %.4f, level %.3f, first sound after "
                    "%.1f ms\n",
                    name, ok ? "found" : "NOT FOUND", static_cast<long long>(f.start),
                    static_cast<long long>(at), f.match, f.level, double(first - at) * 1000.0 / FRAME_RATE);
        if (!ok) ++failures;
        if (f.start >= 0) previous_end = f.start + static_cast<int64_t>(effect->size / 4);
    }
    return failures ? 1 : 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "play") == 0) return play(argv[2], argc - 3, argv + 3);
    if (argc >= 5 && std::strcmp(argv[1], "check") == 0) return check(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr, "usage: sfx_tool play RECORDING NAME... | check RECORDING NAME AT...\n");
    return 2;
}
