// The mixer's kernels for processors with AVX2, eight frames a step, each result bit for bit that
// of the portable kernels. Only these functions are compiled for AVX2 (the rest of the program
// stays on the baseline instruction set), and they run only where the processor has it.
#include "audio/music/mix_kernels.h"
#include "audio/music/music.h"

#include <immintrin.h>

#define AVX2_CODE [[gnu::target("avx2")]]

namespace {
constexpr int LANES = 8;
constexpr int32_t CONVERT_HALF = CONVERT_DIVISOR / 2;
constexpr int UNITY_SHIFT = 15;
static_assert(1 << UNITY_SHIFT == MUSIC_UNITY_VOLUME);

// Eight frames whose points lie within this many of the lowest one are read from two loads of
// that window instead of a gather: WINDOW_POINTS points and the one after the last.
constexpr int WINDOW_POINTS = 16;

// Frames k .. k + 7 of a block, measured from the lowest position among them (the first playing
// forward, the last backward): each lane's offset from it is fixed, so only the fractions move.
struct Lanes {
    int64_t lowest;       // 32.32 position of the lowest lane
    __m256i frac;         // fraction of every lane's position
    __m256i offset_frac;  // fraction of every lane's offset from the lowest
    __m256i offset_point; // whole points of that offset
    int64_t step;         // of the lowest lane, from one eight frames to the next
    __m256i frac_step;
};

AVX2_CODE Lanes first_lanes(const MixBlock& b) {
    const int lowest_lane = b.delta < 0 ? LANES - 1 : 0;
    alignas(32) uint32_t frac[LANES], offset_frac[LANES];
    alignas(32) int32_t offset_point[LANES];
    const int64_t lowest = b.position + b.delta * lowest_lane;
    for (int k = 0; k < LANES; ++k) {
        const int64_t offset = b.delta * (k - lowest_lane);
        frac[k] = static_cast<uint32_t>(lowest + offset);
        offset_frac[k] = static_cast<uint32_t>(offset);
        offset_point[k] = static_cast<int32_t>(offset >> 32);
    }
    const int64_t step = b.delta * LANES;
    return {lowest,
            _mm256_load_si256(reinterpret_cast<const __m256i*>(frac)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(offset_frac)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(offset_point)),
            step,
            _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(step)))};
}

AVX2_CODE void advance(Lanes& lanes) {
    lanes.lowest += lanes.step;
    lanes.frac = _mm256_add_epi32(lanes.frac, lanes.frac_step);
}

// Every lane's point index less the lowest lane's: its offset's whole points, plus one when adding
// the offset's fraction wrapped the lane's fraction round.
AVX2_CODE __m256i relative_points(const Lanes& lanes) {
    const __m256i bias = _mm256_set1_epi32(INT32_MIN);
    const __m256i wrapped =
        _mm256_cmpgt_epi32(_mm256_xor_si256(lanes.offset_frac, bias), _mm256_xor_si256(lanes.frac, bias));
    return _mm256_sub_epi32(lanes.offset_point, wrapped);
}

// The pairs of points (s0 in the low half, s1 in the high) at relative indices 0..15 from window:
// even ones from a load at the window, odd ones from a load one point on.
AVX2_CODE __m256i window_pairs(const int16_t* window, __m256i relative) {
    const __m256i even = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    const __m256i odd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 1));
    const __m256i half = _mm256_srli_epi32(relative, 1);
    const __m256 from_even = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(even, half));
    const __m256 from_odd = _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(odd, half));
    return _mm256_castps_si256(
        _mm256_blendv_ps(from_even, from_odd, _mm256_castsi256_ps(_mm256_slli_epi32(relative, 31))));
}

AVX2_CODE __m256i gathered_pairs(const int16_t* data, int32_t lowest_point, __m256i relative) {
    const __m256i index = _mm256_add_epi32(_mm256_set1_epi32(lowest_point), relative);
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(data), index, 2);
}

// 64 x s0 + (((s1 - s0) x (frac >> 1)) >> 25). The difference has 17 bits and the fraction 31, so
// the product needs 64 bits; the result fits in 32, and the low 32 bits of the product shifted
// logically by 25 are those of the arithmetic shift.
AVX2_CODE __m256i interpolate(__m256i pairs, __m256i frac) {
    const __m256i s0 = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
    const __m256i s1 = _mm256_srai_epi32(pairs, 16);
    const __m256i difference = _mm256_sub_epi32(s1, s0);
    const __m256i weight = _mm256_srli_epi32(frac, 1);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epi32(difference, weight), 25);
    const __m256i odd = _mm256_slli_epi64(
        _mm256_mul_epi32(_mm256_srli_epi64(difference, 32), _mm256_srli_epi64(weight, 32)), 7);
    return _mm256_add_epi32(_mm256_slli_epi32(s0, 6), _mm256_blend_epi32(even, odd, 0xAA));
}

// The interpolated points of the next eight frames. Windows are used while the eight frames span
// at most WINDOW_POINTS points and the window stays within the readable points.
class PointReader {
  public:
    AVX2_CODE explicit PointReader(const MixBlock& b)
        : data(b.data), lanes(first_lanes(b)),
          last_window(b.delta * (LANES - 1) <= (int64_t{WINDOW_POINTS - 1} << 32) &&
                              -b.delta * (LANES - 1) <= (int64_t{WINDOW_POINTS - 1} << 32)
                          ? b.readable - (WINDOW_POINTS + 1)
                          : -1) {}

    AVX2_CODE __m256i next() {
        const auto lowest_point = static_cast<int32_t>(lanes.lowest >> 32);
        const __m256i relative = relative_points(lanes);
        const __m256i pairs = lowest_point <= last_window ? window_pairs(data + lowest_point, relative)
                                                          : gathered_pairs(data, lowest_point, relative);
        const __m256i value = interpolate(pairs, lanes.frac);
        advance(lanes);
        return value;
    }

  private:
    const int16_t* data;
    Lanes lanes;
    int32_t last_window; // the last point a window may start at; -1 when the steps are too wide
};

// (value x volume + 64 if that is negative) >> 7 in 32-bit lanes. With volume = 128a + b
// (0 <= b < 128) it is value x a + ((value x b + 64 if negative) >> 7); both products stay below
// 2^28 within MAX_BLOCK_VOLUME. The 64 only matters when neither factor is 0, so the sign of
// value xor volume tells it.
AVX2_CODE __m256i scale(__m256i value, __m256i volume) {
    const __m256i whole = _mm256_mullo_epi32(value, _mm256_srai_epi32(volume, 7));
    const __m256i part = _mm256_mullo_epi32(value, _mm256_and_si256(volume, _mm256_set1_epi32(127)));
    const __m256i half =
        _mm256_and_si256(_mm256_srai_epi32(_mm256_xor_si256(value, volume), 31), _mm256_set1_epi32(64));
    return _mm256_add_epi32(whole, _mm256_srai_epi32(_mm256_add_epi32(part, half), 7));
}

AVX2_CODE void add_to(int32_t* sums, __m256i values) {
    auto* at = reinterpret_cast<__m256i*>(sums);
    _mm256_storeu_si256(at, _mm256_add_epi32(_mm256_loadu_si256(at), values));
}

AVX2_CODE __m256i lane_ramp(int32_t first, int32_t ramp) {
    return _mm256_add_epi32(
        _mm256_set1_epi32(first),
        _mm256_mullo_epi32(_mm256_set1_epi32(ramp), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
}

AVX2_CODE void render(const MixBlock& block, int32_t* left, int32_t* right) {
    const int whole = block.frames / LANES * LANES;
    if (whole != 0) {
        PointReader points(block);
        const bool steady = block.ramp_left == 0 && block.ramp_right == 0 && block.left % VOLUME_GRAIN == 0 &&
                            block.right % VOLUME_GRAIN == 0;
        if (steady) {
            // Volumes of whole grains, the common case by far: the portable kernels' grain_scaled.
            const __m256i grains_left = _mm256_set1_epi32(block.left / VOLUME_GRAIN);
            const __m256i grains_right = _mm256_set1_epi32(block.right / VOLUME_GRAIN);
            for (int i = 0; i < whole; i += LANES) {
                const __m256i eighths = _mm256_srai_epi32(points.next(), 3);
                add_to(left + i, _mm256_mullo_epi32(eighths, grains_left));
                add_to(right + i, _mm256_mullo_epi32(eighths, grains_right));
            }
        } else {
            __m256i volume_left = lane_ramp(block.left, block.ramp_left);
            __m256i volume_right = lane_ramp(block.right, block.ramp_right);
            const __m256i ramp_left = _mm256_set1_epi32(block.ramp_left * LANES);
            const __m256i ramp_right = _mm256_set1_epi32(block.ramp_right * LANES);
            for (int i = 0; i < whole; i += LANES) {
                const __m256i value = points.next();
                add_to(left + i, scale(value, volume_left));
                add_to(right + i, scale(value, volume_right));
                volume_left = _mm256_add_epi32(volume_left, ramp_left);
                volume_right = _mm256_add_epi32(volume_right, ramp_right);
            }
        }
    }
    if (whole == block.frames) return;
    MixBlock rest = block;
    rest.position += block.delta * whole;
    rest.left += block.ramp_left * whole;
    rest.right += block.ramp_right * whole;
    rest.frames -= whole;
    PORTABLE_MIX_KERNELS.render(rest, left + whole, right + whole);
}

AVX2_CODE void flush(int32_t* left, int32_t* right, int64_t* accumulator, int frames) {
    const int whole = frames / LANES * LANES;
    for (int i = 0; i < whole; i += LANES) {
        auto* l = reinterpret_cast<__m256i*>(left + i);
        auto* r = reinterpret_cast<__m256i*>(right + i);
        const __m256i sum_left = _mm256_loadu_si256(l), sum_right = _mm256_loadu_si256(r);
        // Pairs 0, 1, 4, 5 and 2, 3, 6, 7 of left and right interleaved.
        const __m256i low = _mm256_unpacklo_epi32(sum_left, sum_right);
        const __m256i high = _mm256_unpackhi_epi32(sum_left, sum_right);
        const __m256i frames_0_1 = _mm256_cvtepi32_epi64(_mm256_castsi256_si128(low));
        const __m256i frames_2_3 = _mm256_cvtepi32_epi64(_mm256_castsi256_si128(high));
        const __m256i frames_4_5 = _mm256_cvtepi32_epi64(_mm256_extracti128_si256(low, 1));
        const __m256i frames_6_7 = _mm256_cvtepi32_epi64(_mm256_extracti128_si256(high, 1));
        auto* out = reinterpret_cast<__m256i*>(accumulator + 2 * i);
        _mm256_storeu_si256(out, _mm256_add_epi64(_mm256_loadu_si256(out), frames_0_1));
        _mm256_storeu_si256(out + 1, _mm256_add_epi64(_mm256_loadu_si256(out + 1), frames_2_3));
        _mm256_storeu_si256(out + 2, _mm256_add_epi64(_mm256_loadu_si256(out + 2), frames_4_5));
        _mm256_storeu_si256(out + 3, _mm256_add_epi64(_mm256_loadu_si256(out + 3), frames_6_7));
        _mm256_storeu_si256(l, _mm256_setzero_si256());
        _mm256_storeu_si256(r, _mm256_setzero_si256());
    }
    if (whole != frames)
        PORTABLE_MIX_KERNELS.flush(left + whole, right + whole, accumulator + 2 * whole, frames - whole);
}

// Four accumulator values clamped to +-CLIP_MAGNITUDE, with signed 64-bit compares.
AVX2_CODE __m256i clamp(__m256i values) {
    const __m256i high = _mm256_set1_epi64x(CLIP_MAGNITUDE), low = _mm256_set1_epi64x(-CLIP_MAGNITUDE);
    values = _mm256_blendv_epi8(values, high, _mm256_cmpgt_epi64(values, high));
    return _mm256_blendv_epi8(values, low, _mm256_cmpgt_epi64(low, values));
}

// Eight clamped values, now within 32 bits, in order.
AVX2_CODE __m256i narrow(__m256i first, __m256i second) {
    const __m256 low_words =
        _mm256_shuffle_ps(_mm256_castsi256_ps(first), _mm256_castsi256_ps(second), _MM_SHUFFLE(2, 0, 2, 0));
    return _mm256_permute4x64_epi64(_mm256_castps_si256(low_words), _MM_SHUFFLE(3, 1, 2, 0));
}

// m / 16,320 for m below 2^30 as (m x 2,155,905,153) >> 45: the multiplier exceeds 2^45 / 16,320
// by less than 1/2, too little to reach the next integer below 2^32.
AVX2_CODE __m256i divide(__m256i m) {
    const __m256i multiplier = _mm256_set1_epi32(static_cast<int32_t>(2155905153u));
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(m, multiplier), 45);
    const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(m, 32), multiplier), 13);
    return _mm256_blend_epi32(even, odd, 0xAA);
}

// Eight samples from eight clamped values; the magnitudes are added into magnitudes.
AVX2_CODE __m256i to_samples(__m256i values, __m256i master_volume, __m256i& magnitudes) {
    const __m256i rounded = _mm256_add_epi32(_mm256_abs_epi32(values), _mm256_set1_epi32(CONVERT_HALF));
    __m256i q = _mm256_min_epu32(divide(rounded), _mm256_set1_epi32(MAX_OUTPUT));
    q = _mm256_srli_epi32(_mm256_mullo_epi32(q, master_volume), UNITY_SHIFT);
    magnitudes = _mm256_add_epi32(magnitudes, q);
    return _mm256_sign_epi32(q, values);
}

AVX2_CODE void convert(const int64_t* accumulator, int16_t* out, int frames, int32_t master_volume,
                       uint32_t& sum_left, uint32_t& sum_right) {
    const int whole = frames / LANES * LANES;
    const __m256i volume = _mm256_set1_epi32(master_volume);
    __m256i magnitudes = _mm256_setzero_si256(); // left in even lanes, right in odd
    for (int i = 0; i < 2 * whole; i += 2 * LANES) {
        const auto* in = reinterpret_cast<const __m256i*>(accumulator + i);
        const __m256i first = narrow(clamp(_mm256_loadu_si256(in)), clamp(_mm256_loadu_si256(in + 1)));
        const __m256i second = narrow(clamp(_mm256_loadu_si256(in + 2)), clamp(_mm256_loadu_si256(in + 3)));
        const __m256i packed =
            _mm256_packs_epi32(to_samples(first, volume, magnitudes), to_samples(second, volume, magnitudes));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    alignas(32) uint32_t lanes[LANES];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), magnitudes);
    for (int k = 0; k < LANES; k += 2) {
        sum_left += lanes[k];
        sum_right += lanes[k + 1];
    }
    if (whole != frames)
        PORTABLE_MIX_KERNELS.convert(accumulator + 2 * whole, out + 2 * whole, frames - whole, master_volume,
                                     sum_left, sum_right);
}
} // namespace

extern const MixKernels AVX2_MIX_KERNELS;
const MixKernels AVX2_MIX_KERNELS = {"avx2", render, flush, convert};
