// The mixer's inner loops: one block of one voice into 32-bit sums, the sums of a few voices
// into the 64-bit accumulator, and a chunk of the accumulator into 16-bit samples. The portable
// set runs everywhere and defines the arithmetic; sets for wider instruction sets are picked when
// the program starts, where the processor has them, and give the very same bytes.
// Threads: whichever thread mixes; the kernels keep no state.
#pragma once
#include <cstdint>
#include <limits>
#include <span>

// One block of one voice: frames at a constant step with no loop or sample boundary inside, so
// every point read (and the one after it) lies within the sample and its guard point.
struct MixBlock {
    const int16_t* data;
    int64_t position;              // 32.32 fixed point, of the first frame
    int64_t delta;                 // 32.32 a frame, negative when playing backward
    int32_t left, right;           // volumes of the first frame, in 1/128 of a target step
    int32_t ramp_left, ramp_right; // added to the volumes every frame
    int frames;
    int32_t readable; // points that may be read from data on, though the block needs fewer
};

// Bounds that keep the 32-bit kernels exact. An interpolated point lies between its two points
// times 64. The volumes of a ramp stay between where it started and its target, save that the
// shifted-down increment may overshoot a fall by up to 127; with targets of 0..127 x 128 they stay
// within -127..16,256. A block whose volumes lie
// within MAX_BLOCK_VOLUME contributes at most MAX_CONTRIBUTION a frame and side.
constexpr int64_t MAX_POINT_VALUE = 64 * 32768;
constexpr int32_t MAX_BLOCK_VOLUME = 127 * 128;
constexpr int64_t MAX_CONTRIBUTION = MAX_POINT_VALUE * MAX_BLOCK_VOLUME / 128;
// Steady volumes in whole eighths of a target step (multiples of this) mix with one 32-bit
// product a frame and side, of the point in eighths and the volume in grains. The channel update
// keeps its targets on them, fine enough for the quietest fade.
constexpr int32_t VOLUME_GRAIN = 16;
// So many voices can be summed in 32 bits before the sums must move to the accumulator.
constexpr int VOICES_PER_SUM = static_cast<int>(std::numeric_limits<int32_t>::max() / MAX_CONTRIBUTION);
static_assert(VOICES_PER_SUM == 8);

// Conversion: one full-volume voice at target 127 x 128 gives 64 x 255 per sample unit. Magnitudes of
// CLIP_MAGNITUDE (534,765,600) and more round to 32,768 or more and clip.
constexpr int64_t CONVERT_DIVISOR = 16320;
constexpr int32_t MAX_OUTPUT = 32767;
constexpr int64_t CLIP_MAGNITUDE = (MAX_OUTPUT + 1) * CONVERT_DIVISOR - CONVERT_DIVISOR / 2;

struct MixKernels {
    const char* name;
    // Adds the block's frames into left[0 .. frames) and right[0 .. frames). The block's volumes
    // must lie within +-MAX_BLOCK_VOLUME at its first and last frame.
    void (*render)(const MixBlock& block, int32_t* left, int32_t* right);
    // accumulator[2i] += left[i] and accumulator[2i + 1] += right[i] for i below frames; clears
    // left and right there.
    void (*flush)(int32_t* left, int32_t* right, int64_t* accumulator, int frames);
    // frames stereo values of the accumulator to samples (convert_sample), with the sum of the
    // sample magnitudes of each side.
    void (*convert)(const int64_t* accumulator, int16_t* out, int frames, int32_t master_volume,
                    uint32_t& sum_left, uint32_t& sum_right);
};

extern const MixKernels PORTABLE_MIX_KERNELS;

// The block renderer for volumes outside the 32-bit bounds (never reached from the sequencer,
// whose targets stay within 0..127 x 128): the same arithmetic, added into the 64-bit accumulator.
void mix_block_wide(const MixBlock& block, int64_t* accumulator);

// The kernel sets this processor can run, fastest first; the portable set is always last.
std::span<const MixKernels* const> mix_kernels_usable();
