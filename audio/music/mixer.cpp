// Voice rendering. Every block of frames is sized in advance from the distance to the next loop
// or sample boundary and the end of a volume ramp, so the kernels read without bounds tests: a
// block never stands beyond the last point of the loop or sample, and the loader's guard point
// after it serves the interpolation's look-ahead.
#include "audio/music/mixer.h"
#include "audio/music/sample_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

Mixer mixer;

namespace {
constexpr int FRACTION_BITS = 32;

int64_t points(int32_t n) {
    return int64_t{n} << FRACTION_BITS;
}

int64_t voice_position(const Voice& v) {
    return points(v.position) | v.frac;
}

void set_voice_position(Voice& v, int64_t p) {
    v.position = static_cast<int32_t>(p >> FRACTION_BITS);
    v.frac = static_cast<uint32_t>(p);
}

void go_idle(Voice& v) {
    v.sample = nullptr;
    v.position = 0;
    v.frac = 0;
}

uint32_t packed_targets(const Voice& v) {
    return static_cast<uint32_t>(v.target_left) << 16 | static_cast<uint16_t>(v.target_right);
}

// A new ramp whenever the targets move or the last one has run out. A difference too small for
// one increment per frame is taken at once: it is below one volume step and cannot click.
void plan_ramp(Voice& v) {
    const uint32_t targets = packed_targets(v);
    if (v.ramp_count != 0 && targets == v.last_targets) return;
    v.last_targets = targets;
    v.ramp_left = (v.target_left - v.current_left) >> 7;
    v.ramp_right = (v.target_right - v.current_right) >> 7;
    if (v.ramp_left != 0 || v.ramp_right != 0) {
        v.ramp_count = RAMP_FRAMES;
        return;
    }
    v.ramp_count = 0;
    v.current_left = v.target_left;
    v.current_right = v.target_right;
}

// A finished ramp lands exactly on its targets; the shifted increments alone could stop up to
// one step short, and a faded-out voice would then murmur on for as long as its loop runs.
void finish_ramp(Voice& v, int frames) {
    if (v.ramp_count == 0) return;
    v.ramp_count = static_cast<uint16_t>(v.ramp_count - frames);
    if (v.ramp_count != 0) return;
    v.ramp_left = v.ramp_right = 0;
    v.current_left = v.target_left; // the targets cannot move while the mixer runs
    v.current_right = v.target_right;
}

// The voices' sums for one slice of frames, in 32 bits for VOICES_PER_SUM voices at a time
// before they move to the accumulator; all zero between slices.
struct VoiceSums {
    std::array<int32_t, CHUNK_FRAMES> left, right;
};
VoiceSums voice_sums;

// The fastest usable set, unless QUIBBET_MIXER names another one (to hear or time the portable
// set on any machine).
const MixKernels* choose_kernels() {
    const std::span<const MixKernels* const> usable = mix_kernels_usable();
    if (const char* wanted = std::getenv("QUIBBET_MIXER"))
        for (const MixKernels* k : usable)
            if (std::strcmp(k->name, wanted) == 0) return k;
    return usable.front();
}

const MixKernels* kernels = choose_kernels();

bool within_32_bit_bounds(int32_t first, int32_t ramp, int frames) {
    const int64_t last = first + int64_t{ramp} * (frames - 1);
    return std::max<int64_t>(std::abs(int64_t{first}), std::abs(last)) <= MAX_BLOCK_VOLUME;
}

// The frames of one block, into the voice sums when its volumes allow, else straight into the
// accumulator. A silent block only moves on. True when the sums were added to.
bool render_block(Voice& v, int64_t* accumulator, int done, int frames, int64_t position, int64_t delta) {
    const MixBlock block{v.sample->data, position,        delta,
                         v.current_left, v.current_right, v.ramp_left,
                         v.ramp_right,   frames,          v.sample->length + SAMPLE_SPARE_POINTS};
    v.current_left += v.ramp_left * frames;
    v.current_right += v.ramp_right * frames;
    if (block.ramp_left == 0 && block.ramp_right == 0 && block.left == 0 && block.right == 0) return false;
    if (within_32_bit_bounds(block.left, block.ramp_left, frames) &&
        within_32_bit_bounds(block.right, block.ramp_right, frames)) {
        kernels->render(block, voice_sums.left.data() + done, voice_sums.right.data() + done);
        return true;
    }
    mix_block_wide(block, accumulator + 2 * done);
    return false;
}

// At a boundary: wrap, mirror or stop. Modulo arithmetic instead of repeated mirroring keeps a
// huge step on a tiny loop cheap.
bool cross_boundary(Voice& v, int64_t& position) {
    const SampleRecord& s = *v.sample;
    const int64_t start = points(s.loop_start), length = points(s.loop_length), end = start + length;
    if (length <= 0) return false;
    if (v.direction == 0 && s.loop_type == 1) {
        position = start + (position - end) % length;
        return true;
    }
    if (s.loop_type != 2) return false;
    const int64_t overshoot = (v.direction == 0 ? position - end : start - position) % (2 * length);
    const bool turns = overshoot < length; // one mirror, else a second one about the other end
    const bool forward_edge = v.direction == 0;
    if (forward_edge == turns) {
        position = turns ? end - overshoot : end - (overshoot - length);
        v.direction = 1;
    } else {
        position = turns ? start + overshoot : start + (overshoot - length);
        v.direction = 0;
    }
    return true;
}

// True when the voice added to the voice sums.
bool mix_voice(Voice& v, int64_t* accumulator, int frames) {
    const SampleRecord& s = *v.sample;
    const uint64_t step = (v.step >> 5) == 0 ? FLOOR_STEP : v.step;
    int64_t position = voice_position(v);
    int done = 0;
    bool summed = false;
    while (done < frames) {
        // Positions outside the sample can only come from a bad offset; they would read outside.
        if (position < 0 || position > points(s.length)) {
            go_idle(v);
            return summed;
        }
        const int64_t loop_end = points(s.loop_start + s.loop_length);
        int64_t distance;
        if (v.direction == 1)
            distance = position - points(s.loop_start);
        else
            distance = position < loop_end ? loop_end - position : points(s.length) - position;
        if (distance < 0) {
            go_idle(v);
            return summed;
        }
        // 64-bit frame counts: a tiny step on a long sample may be billions of frames away.
        const uint64_t to_boundary =
            static_cast<uint64_t>(distance) / step + (static_cast<uint64_t>(distance) % step != 0);
        const int left = frames - done;
        int block = static_cast<int>(std::min<uint64_t>(to_boundary, static_cast<uint64_t>(left)));
        const bool reaches_boundary = to_boundary <= static_cast<uint64_t>(left);
        plan_ramp(v);
        const bool ramp_cut = v.ramp_count != 0 && v.ramp_count < block;
        if (ramp_cut) block = v.ramp_count;
        const int64_t delta = v.direction == 1 ? -static_cast<int64_t>(step) : static_cast<int64_t>(step);
        summed = render_block(v, accumulator, done, block, position, delta) || summed;
        position += delta * block;
        finish_ramp(v, block);
        done += block;
        if (ramp_cut || !reaches_boundary) continue;
        if (!cross_boundary(v, position)) {
            go_idle(v);
            return summed;
        }
    }
    set_voice_position(v, position);
    return summed;
}

// One slice of at most CHUNK_FRAMES frames.
void mix_slice(std::span<Voice> voices, int64_t* accumulator, int frames) {
    int summed = 0;
    for (Voice& v : voices) {
        if (!v.sample || !mix_voice(v, accumulator, frames)) continue;
        if (++summed < VOICES_PER_SUM) continue;
        kernels->flush(voice_sums.left.data(), voice_sums.right.data(), accumulator, frames);
        summed = 0;
    }
    if (summed != 0) kernels->flush(voice_sums.left.data(), voice_sums.right.data(), accumulator, frames);
}
} // namespace

void mix_voices(std::span<Voice> voices, int64_t* accumulator, int frames) {
    for (int done = 0; done < frames; done += CHUNK_FRAMES)
        mix_slice(voices, accumulator + 2 * done, std::min(frames - done, CHUNK_FRAMES));
}

void mixer_use_kernels(const MixKernels& chosen) {
    kernels = &chosen;
}

const MixKernels& mixer_kernels() {
    return *kernels;
}

bool mixer_song_ended() {
    return mixer.end_chunks != 0;
}

bool mixer_song_done() {
    return mixer_song_ended() && mixer.chunks_mixed >= mixer.end_chunks;
}

std::span<const int16_t> last_chunk() {
    const int chunk = (mixer.write_chunk + RING_CHUNKS - 1) % RING_CHUNKS;
    return std::span<const int16_t>(mixer.ring)
        .subspan(static_cast<size_t>(chunk * CHUNK_FRAMES * 2), CHUNK_FRAMES * 2);
}
