// The four stored effects, measured as heard: interleaved stereo at 44,100 Hz, each channel on its own.
#include "assets/embedded_arrays.h"
#include "effect_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

struct Effect {
    const char* name;
    std::span<const uint8_t> raw;
    int peak;
};

const Effect effects[] = {
    {"tic", asset_tic_raw, 2500},
    {"bounce", asset_bounce_raw, 17000},
    {"death", asset_death_raw, 2300},
    {"winner", asset_winner_raw, 16000},
};

// Frames [begin, end) of the tenth `w` (0..9) of a channel.
int tenth(const std::vector<double>& channel, int w) {
    return static_cast<int>(channel.size()) * w / 10;
}

double pitch_of_tenth(const std::vector<double>& channel, int w) {
    return pitch_between(channel, tenth(channel, w), tenth(channel, w + 1));
}

void for_each_channel(const Channels& c, const std::function<void(const std::vector<double>&)>& check) {
    for (const auto* channel : {&c.left, &c.right}) {
        SCOPED_TRACE(channel == &c.left ? "left" : "right");
        check(*channel);
    }
}

TEST(Effects, LengthsAreWholeFramesPlusASilentHalfFrame) {
    static_assert(sizeof(asset_tic_raw) == 26294 && sizeof(asset_bounce_raw) == 8654);
    static_assert(sizeof(asset_death_raw) == 43578 && sizeof(asset_winner_raw) == 85070);
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.name);
        ASSERT_EQ(e.raw.size() % 4, 2u);
        EXPECT_EQ(e.raw[e.raw.size() - 2], 0);
        EXPECT_EQ(e.raw[e.raw.size() - 1], 0);
    }
}

TEST(Effects, PeaksMatchTheirLoudness) {
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.name);
        EXPECT_NEAR(peak_of(e.raw), e.peak, e.peak * 0.08);
    }
}

TEST(Effects, StartAndEndWithoutAClick) {
    constexpr int ONSET_FRAMES = 22;   // half a millisecond
    constexpr int RELEASE_FRAMES = 88; // two milliseconds
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.name);
        const Channels c = split_channels(e.raw);
        for_each_channel(c, [&](const std::vector<double>& ch) {
            const int n = static_cast<int>(ch.size());
            EXPECT_LT(std::abs(ch.front()), e.peak * 0.01);
            EXPECT_LT(std::abs(ch.back()), e.peak * 0.01);
            for (int i = 0; i < ONSET_FRAMES; ++i)
                EXPECT_LT(std::abs(ch[i]), e.peak * 0.5) << "frame " << i;
            for (int i = n - RELEASE_FRAMES; i < n; ++i)
                EXPECT_LT(std::abs(ch[i]), e.peak * 0.1) << "frame " << i;
        });
    }
}

TEST(Effects, TicSweepsUpThenTurnsToNoise) {
    const Channels c = split_channels(asset_tic_raw);
    for_each_channel(c, [](const std::vector<double>& ch) {
        EXPECT_NEAR(pitch_of_tenth(ch, 0), 330, 60);
        for (int w = 1; w < 5; ++w)
            EXPECT_GT(pitch_of_tenth(ch, w), pitch_of_tenth(ch, w - 1) * 1.05) << "tenth " << w;
        // A clean tone has crossings at even spacing; noise scatters them.
        for (int w = 0; w < 4; ++w)
            EXPECT_LT(period_spread(ch, tenth(ch, w), tenth(ch, w + 1)), 0.1) << "tenth " << w;
        for (int w = 7; w < 10; ++w)
            EXPECT_GT(period_spread(ch, tenth(ch, w), tenth(ch, w + 1)), 0.3) << "tenth " << w;
    });
    // Each side hisses with noise of its own.
    EXPECT_NE(c.left[c.left.size() * 8 / 10], c.right[c.right.size() * 8 / 10]);
}

TEST(Effects, BounceFallsFromAboutOneAndAHalfKilohertz) {
    const Channels c = split_channels(asset_bounce_raw);
    for_each_channel(c, [](const std::vector<double>& ch) {
        EXPECT_NEAR(pitch_of_tenth(ch, 0), 1500, 150);
        EXPECT_NEAR(pitch_of_tenth(ch, 9), 550, 80);
        for (int w = 1; w < 10; ++w)
            EXPECT_LT(pitch_of_tenth(ch, w), pitch_of_tenth(ch, w - 1)) << "tenth " << w;
    });
}

TEST(Effects, DeathFallsFromAboutElevenHundredHertz) {
    const Channels c = split_channels(asset_death_raw);
    for_each_channel(c, [](const std::vector<double>& ch) {
        EXPECT_NEAR(pitch_of_tenth(ch, 0), 1100, 110);
        EXPECT_NEAR(pitch_of_tenth(ch, 9), 280, 40);
        for (int w = 1; w < 10; ++w)
            EXPECT_LT(pitch_of_tenth(ch, w), pitch_of_tenth(ch, w - 1)) << "tenth " << w;
    });
}

TEST(Effects, WinnerRingsAtTwoHundredFiftyHertzWithAStrongOctaveAndDiesAway) {
    const Channels c = split_channels(asset_winner_raw);
    for_each_channel(c, [](const std::vector<double>& ch) {
        const int first = tenth(ch, 1);
        for (int w = 0; w < 10; ++w)
            EXPECT_NEAR(pitch_of_tenth(ch, w), 250, 8) << "tenth " << w;
        EXPECT_GT(component(ch, 0, first, 500), 0.3 * component(ch, 0, first, 250));
        for (int w = 1; w < 10; ++w)
            EXPECT_LT(rms(ch, tenth(ch, w), tenth(ch, w + 1)), rms(ch, tenth(ch, w - 1), tenth(ch, w)));
        EXPECT_LT(rms(ch, tenth(ch, 9), tenth(ch, 10)), 0.03 * rms(ch, 0, first));
    });
}

} // namespace
