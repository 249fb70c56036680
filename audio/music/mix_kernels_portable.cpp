// The portable kernels, one frame at a time: they define the mixer's arithmetic, which the kernels
// for wider instruction sets reproduce bit for bit.
#include "audio/music/mix_kernels.h"
#include "audio/music/mixer.h"

#include <algorithm>

namespace {
constexpr int FRACTION_BITS = 32;

// One interpolated point, in 1/64 of a sample unit, with a 64-bit product.
inline int64_t point_at(const int16_t* data, int64_t position) {
    const auto index = static_cast<int32_t>(position >> FRACTION_BITS);
    const auto frac = static_cast<uint32_t>(position);
    const int64_t s0 = data[index], s1 = data[index + 1];
    return 64 * s0 + (((s1 - s0) * (frac >> 1)) >> 25);
}

// ((product >> 6) + 1 if negative) >> 1, folded into one shift: for negative products adding 64
// before dividing by 128 rounds the same way. For a volume of whole target steps, 128 x t, the
// 64 never reaches the shift and the result is value x t.
inline int64_t scaled(int64_t value, int32_t volume) {
    const int64_t product = value * volume;
    return (product + ((product >> 63) & 64)) >> 7;
}

bool whole_grains(int32_t volume) {
    return volume % VOLUME_GRAIN == 0;
}

// A steady volume of g grains: the point in eighths of its units (floored) times g, on the
// ramps' scale and within 32 bits.
inline int64_t grain_scaled(int64_t value, int64_t grains) {
    return (value >> 3) * grains;
}

// Sum is int32_t for blocks within the 32-bit bounds and int64_t for any other; STRIDE steps
// over interleaved sums. Steady volumes of whole grains, by far the most common case, have a
// loop of their own.
template <typename Sum, int STRIDE>
void render_frames(const MixBlock& b, Sum* left, Sum* right) {
    const int16_t* data = b.data;
    const int64_t delta = b.delta;
    const int frames = b.frames;
    int64_t at = b.position;
    if (b.ramp_left == 0 && b.ramp_right == 0 && whole_grains(b.left) && whole_grains(b.right)) {
        const int64_t grains_left = b.left / VOLUME_GRAIN, grains_right = b.right / VOLUME_GRAIN;
        for (int i = 0; i < frames; ++i, at += delta) {
            const int64_t value = point_at(data, at);
            left[i * STRIDE] += static_cast<Sum>(grain_scaled(value, grains_left));
            right[i * STRIDE] += static_cast<Sum>(grain_scaled(value, grains_right));
        }
        return;
    }
    int32_t volume_left = b.left, volume_right = b.right;
    const int32_t ramp_left = b.ramp_left, ramp_right = b.ramp_right;
    for (int i = 0; i < frames; ++i, at += delta) {
        const int64_t value = point_at(data, at);
        left[i * STRIDE] += static_cast<Sum>(scaled(value, volume_left));
        right[i * STRIDE] += static_cast<Sum>(scaled(value, volume_right));
        volume_left += ramp_left;
        volume_right += ramp_right;
    }
}

void render(const MixBlock& block, int32_t* left, int32_t* right) {
    render_frames<int32_t, 1>(block, left, right);
}

void flush(int32_t* left, int32_t* right, int64_t* accumulator, int frames) {
    for (int i = 0; i < frames; ++i) {
        accumulator[2 * i] += left[i];
        accumulator[2 * i + 1] += right[i];
        left[i] = right[i] = 0;
    }
}

void convert(const int64_t* accumulator, int16_t* out, int frames, int32_t master_volume, uint32_t& sum_left,
             uint32_t& sum_right) {
    for (int i = 0; i < frames; ++i) {
        out[2 * i] = convert_sample(accumulator[2 * i], master_volume);
        out[2 * i + 1] = convert_sample(accumulator[2 * i + 1], master_volume);
        sum_left += static_cast<uint32_t>(std::abs(out[2 * i]));
        sum_right += static_cast<uint32_t>(std::abs(out[2 * i + 1]));
    }
}
} // namespace

const MixKernels PORTABLE_MIX_KERNELS = {"portable", render, flush, convert};

void mix_block_wide(const MixBlock& block, int64_t* accumulator) {
    render_frames<int64_t, 2>(block, accumulator, accumulator + 1);
}

// Rounding half up is dividing m + 8,160 by 16,320; clamping m at CLIP_MAGNITUDE first leaves
// every result at or above the clip there, and keeps the rest of the arithmetic in 32 bits (the
// master volume is at most unity).
int16_t convert_sample(int64_t value, int32_t master_volume) {
    constexpr auto divisor = static_cast<uint32_t>(CONVERT_DIVISOR);
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const auto m = static_cast<uint32_t>(std::min<uint64_t>(magnitude, CLIP_MAGNITUDE));
    uint32_t q = std::min<uint32_t>((m + divisor / 2) / divisor, MAX_OUTPUT);
    q = q * static_cast<uint32_t>(master_volume) / MUSIC_UNITY_VOLUME;
    const auto sample = static_cast<int16_t>(q);
    return value < 0 ? static_cast<int16_t>(-sample) : sample;
}
