// Checks what the whole game sent to a sound server, from a recording of its output: 16-bit
// stereo at 48,000 Hz, where the music player's output arrives sample for sample and the
// effects (44,100 Hz) arrive resampled by the server and added to it.
//  - The song: windows of the render are found exactly in the recording. Each run of the song
//    (a "play") must begin at the song's beginning and go on in order, with nothing replayed;
//    a busy server may only insert silence. The first play must begin near the title's time.
//  - The effects: the song is subtracted where it was found, and each named effect is found in
//    what is left, in order, by normalised cross-correlation with the stored samples brought to
//    48,000 Hz (both low-passed alike, since resamplers differ near the top of the band).
//  - The end: once the last play has stopped, the recording holds nothing but silence.
// Usage: recording_check RENDER.wav RECORDING.raw TITLE_AT_BYTES [NAME...]
// Exit 0 when everything holds.
#include "assets/embedded.h"
#include "e2e_music/recording_frames.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 48'000;
constexpr int EFFECT_RATE = 44'100;
constexpr long WINDOW = 1024;        // frames of the render looked for exactly
constexpr long STRIDE = 128;         // frames between the render windows looked for
constexpr long MAX_LOST = 4096;      // frames of a play a server may drop
constexpr long RESTART_SLACK = RATE; // a play must begin within this of the song's first sound
// Effects hide the song under them (the longest lasts half a second), and so do the moments
// around a dropout; no longer stretch of a play may go unseen.
constexpr long MAX_UNSEEN = RATE;
constexpr long TITLE_BEFORE = 5 * RATE, TITLE_AFTER = 2 * RATE; // the song starts with the title
constexpr long MIN_END_SILENCE = RATE / 4;
constexpr double CUTOFF_HZ = 18'000;
constexpr int FILTER_HALF_TAPS = 32;
constexpr int LOUD = 800;
constexpr long SEARCH = 2048;
constexpr int EFFECT_PIECES = 4;
constexpr long MAX_INSERTED = 8192; // frames of silence a server may put into an effect
constexpr double MIN_MATCH = 0.9, MIN_LEVEL = 0.8, MAX_LEVEL = 1.25;
constexpr double PI = 3.14159265358979323846;

int16_t left(Frame f) {
    return static_cast<int16_t>(f & 0xffff);
}
int16_t right(Frame f) {
    return static_cast<int16_t>(f >> 16);
}

// Polynomial hash of WINDOW frames, rolled one frame at a time.
constexpr uint64_t HASH_BASE = 0x100000001b3ull;
uint64_t hash_power() {
    uint64_t p = 1;
    for (long k = 0; k < WINDOW; ++k)
        p *= HASH_BASE;
    return p;
}
uint64_t hash_of(const Frame* f) {
    uint64_t h = 0;
    for (long k = 0; k < WINDOW; ++k)
        h = h * HASH_BASE + f[k] + 1;
    return h;
}

struct Anchor {
    long at;   // recording frame
    long song; // render frame
    long offset() const { return at - song; }
};

// Every place where a render window (one each STRIDE frames, skipping constant ones) lies in the
// recording exactly. Where a window fits several places of the song (a repeated bar), the one
// that continues the current play is kept.
std::vector<Anchor> find_anchors(const std::vector<Frame>& song, const std::vector<Frame>& rec) {
    std::vector<std::pair<uint64_t, long>> index;
    for (long p = 0; p + WINDOW <= static_cast<long>(song.size()); p += STRIDE) {
        const Frame* w = song.data() + p;
        if (std::all_of(w, w + WINDOW, [&](Frame f) { return f == w[0]; })) continue;
        index.emplace_back(hash_of(w), p);
    }
    std::sort(index.begin(), index.end());
    std::vector<Anchor> anchors;
    if (static_cast<long>(rec.size()) < WINDOW) return anchors;
    const uint64_t top = hash_power();
    uint64_t h = hash_of(rec.data());
    for (long j = 0;; ++j) {
        auto [first, last] = std::equal_range(index.begin(), index.end(), std::make_pair(h, 0L),
                                              [](const auto& a, const auto& b) { return a.first < b.first; });
        const Anchor* previous = anchors.empty() ? nullptr : &anchors.back();
        long best = -1;
        for (auto it = first; it != last; ++it) {
            const long p = it->second;
            if (std::memcmp(rec.data() + j, song.data() + p, WINDOW * sizeof(Frame)) != 0) continue;
            const bool continues = previous && p >= previous->song && j - p >= previous->offset() - MAX_LOST;
            const bool best_continues =
                best >= 0 && previous && best >= previous->song && j - best >= previous->offset() - MAX_LOST;
            if (best < 0 || (continues && (!best_continues || p > best)) ||
                (!continues && !best_continues && p < best))
                best = p;
        }
        if (best >= 0) anchors.push_back({j, best});
        if (j + WINDOW >= static_cast<long>(rec.size())) break;
        h = h * HASH_BASE - (static_cast<uint64_t>(rec[j]) + 1) * top + rec[j + WINDOW] + 1;
    }
    return anchors;
}

struct Play {
    long first, last; // anchor indices
    long end;         // recording frame where the song stops agreeing after the last anchor
};

// Splits the anchors into plays and checks each; false with a message on the first fault.
bool check_plays(const std::vector<Anchor>& a, const std::vector<Frame>& song, const std::vector<Frame>& rec,
                 long song_start, std::vector<Play>* plays) {
    for (long i = 0; i < static_cast<long>(a.size()); ++i) {
        if (i > 0 && a[i].song >= a[i - 1].song) {
            if (a[i].offset() < a[i - 1].offset() - MAX_LOST) {
                std::printf("the song jumps back at %.3f s: old sound replayed\n", double(a[i].at) / RATE);
                return false;
            }
            plays->back().last = i;
            continue;
        }
        if (a[i].song > song_start + RESTART_SLACK) {
            std::printf("a play begins at %.3f s in the middle of the song (song %.3f s)\n",
                        double(a[i].at) / RATE, double(a[i].song) / RATE);
            return false;
        }
        plays->push_back({i, i, 0});
    }
    for (Play& p : *plays) {
        const Anchor& end = a[p.last];
        long j = end.at;
        while (j < static_cast<long>(rec.size()) && j - end.offset() < static_cast<long>(song.size()) &&
               rec[j] == song[j - end.offset()])
            ++j;
        p.end = j;
        const long slots = (a[p.last].song - a[p.first].song) / STRIDE + 1;
        const double coverage = double(p.last - p.first + 1) / slots;
        long unseen = 0;
        for (long i = p.first; i < p.last; ++i)
            unseen = std::max(unseen, a[i + 1].song - a[i].song - WINDOW);
        std::printf("song played from %.3f s to %.3f s of the recording: song %.3f s to %.3f s, %.1f%% of it found "
                    "exactly, at most %.3f s unseen at a time, %.3f s of silence inserted\n",
                    double(a[p.first].at) / RATE, double(p.end) / RATE, double(a[p.first].song) / RATE,
                    double(p.end - end.offset()) / RATE, 100 * coverage, double(unseen) / RATE,
                    double(end.offset() - a[p.first].offset()) / RATE);
        if (unseen > MAX_UNSEEN) {
            std::puts("a part of the song is missing from that play");
            return false;
        }
    }
    return !plays->empty();
}

// Squared distance of a recording frame from a song frame (none outside the song).
double miss(const std::vector<Frame>& song, const std::vector<Frame>& rec, long j, long s) {
    const Frame f = s >= 0 && s < static_cast<long>(song.size()) ? song[static_cast<size_t>(s)] : 0;
    const double l = left(rec[static_cast<size_t>(j)]) - left(f), r = right(rec[static_cast<size_t>(j)]) - right(f);
    return l * l + r * r;
}

// Which song frame each recording frame of [from, to) holds, when the song runs at offset o1
// before and o2 after: a server that fell behind inserted o2 - o1 frames of silence somewhere
// between (or dropped o1 - o2 frames). The place is the one that leaves the least over.
void align_between(const std::vector<Frame>& song, const std::vector<Frame>& rec, long from, long to, long o1,
                   long o2, std::vector<long>* at) {
    const long gap = o2 - o1, n = to - from;
    std::vector<double> before(static_cast<size_t>(n + 1)), silent(static_cast<size_t>(n + 1)),
        after(static_cast<size_t>(n + 1));
    for (long k = 0; k < n; ++k) {
        before[k + 1] = before[k] + miss(song, rec, from + k, from + k - o1);
        silent[k + 1] = silent[k] + miss(song, rec, from + k, -1);
        after[k + 1] = after[k] + miss(song, rec, from + k, from + k - o2);
    }
    const long hole = std::max(0L, gap);
    long best_split = 0;
    double best = -1;
    for (long k = 0; k + hole <= n; ++k) {
        const double cost = before[k] + silent[k + hole] - silent[k] + after[n] - after[k + hole];
        if (best < 0 || cost < best) best = cost, best_split = k;
    }
    for (long k = 0; k < n; ++k)
        (*at)[static_cast<size_t>(from + k)] =
            k < best_split ? from + k - o1 : k < best_split + hole ? -1 : from + k - o2;
}

// The recording less the song where a play was found: what the effects added.
std::vector<double> residual(const std::vector<Anchor>& a, const std::vector<Play>& plays,
                             const std::vector<Frame>& song, const std::vector<Frame>& rec) {
    std::vector<long> at(rec.size(), -1); // the song frame under each recording frame
    for (const Play& p : plays) {
        for (long k = p.first; k < p.last; ++k) {
            const long exact_end = std::min(a[k].at + WINDOW, a[k + 1].at);
            for (long j = a[k].at; j < exact_end; ++j)
                at[static_cast<size_t>(j)] = j - a[k].offset();
            if (a[k + 1].offset() == a[k].offset()) {
                for (long j = exact_end; j < a[k + 1].at; ++j)
                    at[static_cast<size_t>(j)] = j - a[k].offset();
            } else {
                align_between(song, rec, exact_end, a[k + 1].at, a[k].offset(), a[k + 1].offset(), &at);
            }
        }
        for (long j = a[p.last].at; j < p.end; ++j)
            at[static_cast<size_t>(j)] = j - a[p.last].offset();
    }
    std::vector<double> r(rec.size() * 2);
    for (size_t j = 0; j < rec.size(); ++j) {
        const long s = at[j];
        const Frame f = s >= 0 && s < static_cast<long>(song.size()) ? song[static_cast<size_t>(s)] : 0;
        r[2 * j] = left(rec[j]) - left(f);
        r[2 * j + 1] = right(rec[j]) - right(f);
    }
    return r;
}

// Windowed-sinc filter: out[i] (at out_rate) from interleaved stereo `in` (at in_rate), cut at
// CUTOFF_HZ. Used both to bring the effects to 48,000 Hz and to low-pass the residual alike.
std::vector<double> resample(const std::vector<double>& in, double in_rate, double out_rate) {
    const long in_frames = static_cast<long>(in.size() / 2);
    const long out_frames = static_cast<long>(std::floor(in_frames * out_rate / in_rate));
    const double fc = CUTOFF_HZ / in_rate; // cycles per input frame
    std::vector<double> out(static_cast<size_t>(out_frames) * 2);
    for (long i = 0; i < out_frames; ++i) {
        const double t = i * in_rate / out_rate;
        const long centre = static_cast<long>(std::floor(t));
        double l = 0, r = 0;
        for (long k = centre - FILTER_HALF_TAPS + 1; k <= centre + FILTER_HALF_TAPS; ++k) {
            if (k < 0 || k >= in_frames) continue;
            const double x = t - k;
            const double sinc = x == 0 ? 2 * fc : std::sin(2 * PI * fc * x) / (PI * x);
            const double window = 0.5 + 0.5 * std::cos(PI * x / FILTER_HALF_TAPS);
            l += in[2 * k] * sinc * window;
            r += in[2 * k + 1] * sinc * window;
        }
        out[2 * i] = l;
        out[2 * i + 1] = r;
    }
    return out;
}

struct Found {
    long start = -1;
    double match = 0, level = 0;
};

// Sums of products of a piece of the effect (samples [from, from + n)) with the residual from
// frame `start` on.
struct Sums {
    double re = 0, rr = 0, ee = 0;
};
Sums sums(const std::vector<double>& r, const std::vector<double>& e, long from, long n, long start) {
    Sums s;
    if (start < 0 || 2 * start + n > static_cast<long>(r.size())) return s;
    for (long i = 0; i < n; ++i) {
        const double v = r[static_cast<size_t>(2 * start + i)], w = e[static_cast<size_t>(from + i)];
        s.re += v * w;
        s.rr += v * v;
        s.ee += w * w;
    }
    return s;
}
double correlation(const Sums& s) {
    return s.rr > 0 && s.ee > 0 ? s.re / std::sqrt(s.rr * s.ee) : 0;
}

// The effect matched against the residual in EFFECT_PIECES pieces, the first near the onset and
// each next one right after the one before or a little later, since the server may have
// inserted silence into the effect's stream too. The match is the normalised correlation of
// the pieces where they fit best; the level compares their loudness with the stored one.
Found fit_near(const std::vector<double>& r, const std::vector<double>& e, long onset) {
    const long samples = static_cast<long>(e.size()) / 2 * 2;
    const long piece = samples / EFFECT_PIECES / 2 * 2; // whole frames
    Sums total;
    long start = -1, next = onset - SEARCH, span = 2 * SEARCH;
    for (int k = 0; k < EFFECT_PIECES; ++k) {
        const long from = k * piece, n = k + 1 == EFFECT_PIECES ? samples - from : piece;
        Sums best;
        long best_at = -1;
        for (long at = std::max(0L, next); at <= next + span; ++at) {
            const Sums s = sums(r, e, from, n, at);
            if (best_at < 0 || correlation(s) > correlation(best)) best = s, best_at = at;
        }
        if (best_at < 0) return {};
        if (k == 0) start = best_at;
        total.re += best.re, total.rr += best.rr, total.ee += best.ee;
        next = best_at + n / 2;
        span = MAX_INSERTED;
    }
    return {start, correlation(total), total.ee > 0 ? std::sqrt(total.rr / total.ee) : 0};
}

// Finds the effect at the first loud onset after `after` where it fits; start -1 when none does.
Found find_effect(const std::vector<double>& r, const std::vector<double>& e, long after) {
    const long frames = static_cast<long>(r.size() / 2);
    for (long f = after; f < frames; ++f) {
        if (std::abs(r[2 * f]) <= LOUD && std::abs(r[2 * f + 1]) <= LOUD) continue;
        const Found found = fit_near(r, e, f);
        if (found.match >= MIN_MATCH && found.level >= MIN_LEVEL && found.level <= MAX_LEVEL) return found;
        f += SEARCH; // something else sounded there: another effect, or what is left of a dropout
    }
    return {};
}

std::vector<double> stored_effect(const char* name) {
    std::vector<double> samples;
    const EmbeddedAsset* asset = embedded_asset_find((std::string(name) + ".raw").c_str());
    if (!asset) return samples;
    for (uint32_t i = 0; i + 4 <= asset->size; i += 2) { // whole frames only
        int16_t v;
        std::memcpy(&v, asset->data + i, 2);
        samples.push_back(v);
    }
    return resample(samples, EFFECT_RATE, RATE);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: recording_check RENDER.wav RECORDING.raw TITLE_AT_BYTES [NAME...]\n", stderr);
        return 2;
    }
    const std::vector<Frame> song = read_frames(argv[1], WAV_HEADER_BYTES), rec = read_frames(argv[2], 0);
    const long title_at = std::atol(argv[3]) / 4;
    const long song_start = first_sound(song);
    std::printf("render %.3f s, recording %.3f s, title shown at %.3f s\n", double(song.size()) / RATE,
                double(rec.size()) / RATE, double(title_at) / RATE);
    if (song_start < 0) {
        std::puts("the render is silent");
        return 1;
    }
    const std::vector<Anchor> anchors = find_anchors(song, rec);
    std::vector<Play> plays;
    if (!check_plays(anchors, song, rec, song_start, &plays)) {
        std::puts(anchors.empty() ? "the song is not in the recording" : "FAILED: the song");
        return 1;
    }
    const long began = anchors[plays.front().first].at - (anchors[plays.front().first].song - song_start);
    if (began < title_at - TITLE_BEFORE || began > title_at + TITLE_AFTER) {
        std::printf("the song began at %.3f s, not with the title\n", double(began) / RATE);
        return 1;
    }

    int failures = 0;
    const std::vector<double> rest = resample(residual(anchors, plays, song, rec), RATE, RATE);
    long after = 0;
    for (int k = 4; k < argc; ++k) {
        const std::vector<double> effect = stored_effect(argv[k]);
        const Found f = effect.empty() ? Found{} : find_effect(rest, effect, after);
        if (f.start < 0) {
            std::printf("%s: NOT FOUND after %.3f s\n", argv[k], double(after) / RATE);
            ++failures;
            continue;
        }
        std::printf("%s: found at %.3f s, match %.4f, level %.3f\n", argv[k], double(f.start) / RATE, f.match,
                    f.level);
        after = f.start + static_cast<long>(effect.size() / 2);
    }

    const long end = std::max(plays.back().end, after);
    const long tail = static_cast<long>(rec.size()) - end;
    const bool silent = std::all_of(rec.begin() + end, rec.end(), [](Frame f) { return f == 0; });
    std::printf("after the last sound at %.3f s: %.3f s, %s\n", double(end) / RATE, double(tail) / RATE,
                silent ? "silent" : "NOT SILENT");
    if (!silent || tail < MIN_END_SILENCE) ++failures;
    return failures ? 1 : 0;
}
