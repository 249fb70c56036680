// Voice rendering and sample conversion. Every block of frames is sized in advance from the
// distance to the next loop or sample boundary, so the inner loop reads without bounds tests:
// it never stands beyond the last point of the loop or sample, and the loader's guard point
// after it serves the interpolation's look-ahead.
#include "audio/music/mixer.h"

#include <algorithm>

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
    v.ramp_left = (v.target_left * RAMP_FRAMES - v.current_left) >> 7;
    v.ramp_right = (v.target_right * RAMP_FRAMES - v.current_right) >> 7;
    if (v.ramp_left != 0 || v.ramp_right != 0) {
        v.ramp_count = RAMP_FRAMES;
        return;
    }
    v.ramp_count = 0;
    v.current_left = v.target_left * RAMP_FRAMES;
    v.current_right = v.target_right * RAMP_FRAMES;
}

// A finished ramp lands exactly on its targets; the shifted increments alone could stop up to
// one step short, and a faded-out voice would then murmur on for as long as its loop runs.
void finish_ramp(Voice& v, int frames) {
    if (v.ramp_count == 0) return;
    v.ramp_count = static_cast<uint16_t>(v.ramp_count - frames);
    if (v.ramp_count != 0) return;
    v.ramp_left = v.ramp_right = 0;
    v.current_left = v.target_left * RAMP_FRAMES; // the targets cannot move while the mixer runs
    v.current_right = v.target_right * RAMP_FRAMES;
}

// One interpolated point, in 1/64 of a sample unit: position and position + 1 are inside the
// sample's points plus its guard point for every frame, as a block never crosses a boundary.
inline int64_t point_at(const int16_t* data, int64_t position) {
    const int32_t index = static_cast<int32_t>(position >> FRACTION_BITS);
    const uint32_t frac = static_cast<uint32_t>(position);
    const int64_t s0 = data[index], s1 = data[index + 1];
    return 64 * s0 + (((s1 - s0) * (frac >> 1)) >> 25);
}

// ((product >> 6) + 1 if negative) >> 1, folded into one shift: for negative products adding 64
// before dividing by 128 rounds the same way.
inline int64_t scaled(int64_t value, int32_t volume) {
    const int64_t product = value * volume;
    return (product + ((product >> 63) & 64)) >> 7;
}

// The frames of one block. The steady case (no ramp) has a loop of its own, the most common
// one by far; positions are kept in locals, which the accumulator stores cannot alias.
void render_block(Voice& v, int64_t* accumulator, int frames, int64_t& position, int64_t delta) {
    const int16_t* data = v.sample->data;
    int32_t left = v.current_left, right = v.current_right;
    const int32_t ramp_left = v.ramp_left, ramp_right = v.ramp_right;
    int64_t at = position;
    position += delta * frames;
    if (ramp_left == 0 && ramp_right == 0) {
        if (left == 0 && right == 0) return; // silent: a faded-out voice still moves on
        for (int64_t* out = accumulator; out != accumulator + 2 * frames; out += 2, at += delta) {
            const int64_t value = point_at(data, at);
            out[0] += scaled(value, left);
            out[1] += scaled(value, right);
        }
        return;
    }
    for (int64_t* out = accumulator; out != accumulator + 2 * frames; out += 2, at += delta) {
        const int64_t value = point_at(data, at);
        out[0] += scaled(value, left);
        out[1] += scaled(value, right);
        left += ramp_left;
        right += ramp_right;
    }
    v.current_left = left;
    v.current_right = right;
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

void mix_voice(Voice& v, int64_t* accumulator, int frames) {
    const SampleRecord& s = *v.sample;
    const uint64_t step = (v.step >> 5) == 0 ? FLOOR_STEP : v.step;
    int64_t position = voice_position(v);
    int done = 0;
    while (done < frames) {
        // Positions outside the sample can only come from a bad offset; they would read outside.
        if (position < 0 || position > points(s.length)) {
            go_idle(v);
            return;
        }
        const int64_t loop_end = points(s.loop_start + s.loop_length);
        int64_t distance;
        if (v.direction == 1)
            distance = position - points(s.loop_start);
        else
            distance = position < loop_end ? loop_end - position : points(s.length) - position;
        if (distance < 0) {
            go_idle(v);
            return;
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
        render_block(v, accumulator + 2 * done, block, position, delta);
        finish_ramp(v, block);
        done += block;
        if (ramp_cut || !reaches_boundary) continue;
        if (!cross_boundary(v, position)) {
            go_idle(v);
            return;
        }
    }
    set_voice_position(v, position);
}
} // namespace

void mix_voices(std::span<Voice> voices, int64_t* accumulator, int frames) {
    for (Voice& v : voices)
        if (v.sample) mix_voice(v, accumulator, frames);
}

int16_t convert_sample(int64_t value, int32_t master_volume) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    uint64_t q = magnitude / CONVERT_DIVISOR + (magnitude % CONVERT_DIVISOR >= CONVERT_DIVISOR / 2);
    q = std::min<uint64_t>(q, MAX_OUTPUT);
    q = q * static_cast<uint64_t>(master_volume) / MUSIC_UNITY_VOLUME;
    const auto sample = static_cast<int16_t>(q);
    return value < 0 ? static_cast<int16_t>(-sample) : sample;
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
