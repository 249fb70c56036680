// Every kernel set this processor runs against the portable one, on inputs at the edges of their
// bounds: the sums and samples must match bit for bit.
#include "audio/music/mix_kernels.h"
#include "audio/music/music.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {
constexpr int MAX_FRAMES = 70; // whole steps of eight and every tail length

// Points that jump across the whole 16-bit range, with the guard point after the last one.
std::vector<int16_t> jagged_points(std::mt19937_64& random, int count) {
    std::vector<int16_t> points(static_cast<size_t>(count) + 1);
    for (int16_t& p : points)
        p = random() % 3 == 0 ? (random() % 2 ? INT16_MIN : INT16_MAX) : static_cast<int16_t>(random());
    return points;
}

MixBlock random_block(std::mt19937_64& random, const std::vector<int16_t>& points) {
    const int span = static_cast<int>(points.size()) - 1;
    MixBlock b{};
    b.data = points.data();
    b.readable = static_cast<int32_t>(points.size());
    b.frames = 1 + static_cast<int>(random() % MAX_FRAMES);
    // Steps from a tiny fraction of a point to several points a frame, either way, kept inside.
    const int64_t step = static_cast<int64_t>(random() % (uint64_t{5} << 32)) >> (random() % 20);
    const int64_t reach = step * (b.frames - 1);
    const int64_t room = (int64_t{span - 1} << 32) - reach;
    const int64_t first = room > 0 ? static_cast<int64_t>(random() % static_cast<uint64_t>(room)) : 0;
    const bool backward = random() % 2 == 0 && room > 0;
    b.position = backward ? first + reach : first;
    b.delta = room > 0 ? (backward ? -step : step) : 0;
    // Volumes anywhere within the bounds, often on whole target steps, ramping up or down.
    auto volume = [&random] {
        const int32_t v = static_cast<int32_t>(random() % (MAX_BLOCK_VOLUME + 128)) - 127;
        return random() % 2 ? v / 128 * 128 : v;
    };
    b.left = volume();
    b.right = volume();
    if (random() % 2) {
        b.ramp_left = (volume() - b.left) / std::max(b.frames - 1, 1);
        b.ramp_right = (volume() - b.right) / std::max(b.frames - 1, 1);
    }
    return b;
}

// Accumulator values around every threshold of the conversion, and the extremes.
int64_t edge_value(std::mt19937_64& random) {
    static constexpr int64_t edges[] = {
        0,         CONVERT_DIVISOR / 2 - 1, CONVERT_DIVISOR / 2, CLIP_MAGNITUDE - 1, CLIP_MAGNITUDE,
        INT64_MAX, int64_t{1} << 40};
    const int64_t edge = edges[random() % std::size(edges)];
    const int64_t nudged = edge == INT64_MAX ? edge : edge + static_cast<int64_t>(random() % 3) - 1;
    const int64_t value = random() % 2 ? nudged : static_cast<int64_t>(random() % (2 * CLIP_MAGNITUDE));
    return random() % 2 ? value : -value - (value == INT64_MAX);
}

class Kernels : public ::testing::TestWithParam<const MixKernels*> {
  protected:
    const MixKernels& kernels = *GetParam();
    const MixKernels& portable = PORTABLE_MIX_KERNELS;
    std::mt19937_64 random{20240613};
};

// The sets to check: all but the portable one itself.
std::vector<const MixKernels*> wider_sets() {
    std::vector<const MixKernels*> sets;
    for (const MixKernels* k : mix_kernels_usable())
        if (k != &PORTABLE_MIX_KERNELS) sets.push_back(k);
    return sets;
}

std::string kernel_name(const ::testing::TestParamInfo<const MixKernels*>& info) {
    return info.param->name;
}
} // namespace

TEST_P(Kernels, RenderTheSameSumsAsThePortableSet) {
    for (int round = 0; round < 3000; ++round) {
        const std::vector<int16_t> points = jagged_points(random, 4 + static_cast<int>(random() % 200));
        const MixBlock block = random_block(random, points);
        std::vector<int32_t> expected(2 * MAX_FRAMES, round), actual = expected;
        portable.render(block, expected.data(), expected.data() + MAX_FRAMES);
        kernels.render(block, actual.data(), actual.data() + MAX_FRAMES);
        ASSERT_EQ(actual, expected) << "round " << round << ", " << block.frames << " frames, delta "
                                    << block.delta << ", volumes " << block.left << "/" << block.right
                                    << ", ramps " << block.ramp_left << "/" << block.ramp_right;
    }
}

TEST_P(Kernels, FlushAndConvertLikeThePortableSet) {
    for (int frames : {1, 7, 8, 13, 1024}) {
        std::vector<int32_t> left(static_cast<size_t>(frames)), right(left.size());
        std::vector<int64_t> accumulator(2 * left.size());
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = static_cast<int32_t>(random());
            right[i] = static_cast<int32_t>(random());
            accumulator[2 * i] = edge_value(random) / 2;
            accumulator[2 * i + 1] = edge_value(random) / 2;
        }
        std::vector<int32_t> left_copy = left, right_copy = right;
        std::vector<int64_t> expected = accumulator;
        portable.flush(left_copy.data(), right_copy.data(), expected.data(), frames);
        kernels.flush(left.data(), right.data(), accumulator.data(), frames);
        ASSERT_EQ(accumulator, expected) << frames;
        EXPECT_EQ(left, std::vector<int32_t>(left.size(), 0));
        EXPECT_EQ(right, std::vector<int32_t>(right.size(), 0));

        for (size_t i = 0; i < accumulator.size(); ++i)
            accumulator[i] = edge_value(random);
        for (int32_t master : {1, 130, 20675, MUSIC_UNITY_VOLUME}) {
            std::vector<int16_t> want(accumulator.size()), got(accumulator.size());
            uint32_t want_left = 5, want_right = 7, got_left = 5, got_right = 7;
            portable.convert(accumulator.data(), want.data(), frames, master, want_left, want_right);
            kernels.convert(accumulator.data(), got.data(), frames, master, got_left, got_right);
            ASSERT_EQ(got, want) << frames << " frames, master volume " << master;
            EXPECT_EQ(got_left, want_left);
            EXPECT_EQ(got_right, want_right);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Usable, Kernels, ::testing::ValuesIn(wider_sets()), kernel_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Kernels); // a processor with the portable set only
