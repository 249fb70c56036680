// Voice rendering and sample conversion on hand-built voices and samples.
#include "audio/music/mixer.h"
#include "audio/music/music.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr uint64_t STEP_ONE = uint64_t{1} << 32;
constexpr int32_t FULL = 127 * RAMP_FRAMES; // current volume of a settled full target

// A sample record laid out as the loader builds it: the points, then spare room for the guard.
struct TestSample {
    std::unique_ptr<uint8_t[]> bytes;
    SampleRecord* record() { return reinterpret_cast<SampleRecord*>(bytes.get()); }
};

TestSample make_sample(const std::vector<int16_t>& points, int loop_start = 0, int loop_length = 0,
                       uint8_t loop_type = 0) {
    const auto length = static_cast<int32_t>(points.size());
    TestSample s{std::make_unique<uint8_t[]>(sizeof(SampleRecord) + points.size() * 2)};
    SampleRecord* r = s.record();
    std::memset(r, 0, sizeof(SampleRecord) + points.size() * 2);
    r->length = length;
    r->loop_type = loop_type;
    r->loop_start = loop_type ? loop_start : 0;
    r->loop_length = loop_type ? loop_length : length;
    int16_t* data = r->data; // the points run on past the declared array, as the loader lays them out
    std::memcpy(data, points.data(), points.size() * 2);
    const int guard = r->loop_start + r->loop_length;
    if (loop_type == 1) data[guard] = data[r->loop_start];
    if (loop_type == 2) data[guard] = data[guard - 1];
    return s;
}

// target in whole steps of 0..127.
Voice settled_voice(const SampleRecord* sample, uint64_t step, int target = 127) {
    Voice v{};
    v.sample = sample;
    v.step = step;
    v.target_left = v.target_right = target * RAMP_FRAMES;
    v.current_left = v.current_right = target * RAMP_FRAMES;
    v.last_targets = static_cast<uint32_t>(v.target_left) << 16 | static_cast<uint32_t>(v.target_right);
    return v;
}

// What one point contributes per side at a settled full target.
int64_t full_contribution(int16_t point) {
    return int64_t{point} * 64 * FULL / 128;
}

std::vector<int64_t> render(Voice& v, int frames) {
    std::vector<int64_t> acc(static_cast<size_t>(2 * frames), 0);
    mix_voices(std::span<Voice>(&v, 1), acc.data(), frames);
    return acc;
}

std::vector<int64_t> left_side(const std::vector<int64_t>& acc) {
    std::vector<int64_t> left;
    for (size_t i = 0; i < acc.size(); i += 2)
        left.push_back(acc[i]);
    return left;
}
} // namespace

TEST(Conversion, RoundsHalfUpClipsAndKeepsTheSign) {
    EXPECT_EQ(convert_sample(8160, MUSIC_UNITY_VOLUME), 1);
    EXPECT_EQ(convert_sample(8159, MUSIC_UNITY_VOLUME), 0);
    EXPECT_EQ(convert_sample(-8160, MUSIC_UNITY_VOLUME), -1);
    EXPECT_EQ(convert_sample(-8159, MUSIC_UNITY_VOLUME), 0);
    EXPECT_EQ(convert_sample(16320 * 100 + 8159, MUSIC_UNITY_VOLUME), 100);
    EXPECT_EQ(convert_sample(534765599, MUSIC_UNITY_VOLUME), 32767);
    EXPECT_EQ(convert_sample(534765600, MUSIC_UNITY_VOLUME), 32767);
    EXPECT_EQ(convert_sample(-534765600, MUSIC_UNITY_VOLUME), -32767);
    EXPECT_EQ(convert_sample(INT64_MAX, MUSIC_UNITY_VOLUME), 32767);
    EXPECT_EQ(convert_sample(INT64_MIN, MUSIC_UNITY_VOLUME), -32767);
}

TEST(Conversion, MasterVolumeScalesAndLevelZeroSilences) {
    EXPECT_EQ(convert_sample(16320 * 1000, 16384), 500);
    EXPECT_EQ(convert_sample(-16320 * 1000, 16384), -500);
    EXPECT_EQ(convert_sample(534765600, 1), 0); // the loudest sample truncates to nothing
    EXPECT_EQ(convert_sample(-534765600, 1), 0);
}

TEST(VolumeTable, TwoDecibelsALevelAndOutOfRangeMeansFull) {
    EXPECT_EQ(music_set_volume(0), 1);
    for (int level = 1; level <= 25; ++level)
        EXPECT_EQ(music_set_volume(level), std::lround(32768 * std::pow(10.0, (level - 25) / 10.0))) << level;
    EXPECT_EQ(music_set_volume(26), 32768);
    EXPECT_EQ(music_set_volume(-1), 32768);
    EXPECT_EQ(music_set_volume(1 << 30), 32768);
    EXPECT_EQ(mixer.master_volume.load(), 32768);
}

TEST(VoiceRender, ASampleWithoutLoopStopsExactlyAtItsLastPoint) {
    TestSample s = make_sample({1000, 2000, 3000, 4000});
    Voice v = settled_voice(s.record(), STEP_ONE);
    const std::vector<int64_t> left = left_side(render(v, 10));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(left[i], full_contribution(static_cast<int16_t>(1000 * (i + 1)))) << i;
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(left[i], 0) << i;
    EXPECT_EQ(v.sample, nullptr);
    EXPECT_EQ(v.position, 0);
}

TEST(VoiceRender, InterpolatesBetweenPointsAndPansBySide) {
    TestSample s = make_sample({0, 1024, 2048, 3072, 4096});
    Voice v = settled_voice(s.record(), STEP_ONE / 2);
    v.target_right = v.current_right = 0;
    v.last_targets = uint32_t{127 * RAMP_FRAMES} << 16;
    const std::vector<int64_t> acc = render(v, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(acc[2 * i], full_contribution(static_cast<int16_t>(512 * i))) << i;
        EXPECT_EQ(acc[2 * i + 1], 0) << i;
    }
    EXPECT_EQ(v.position, 3);
    EXPECT_EQ(v.frac, 0u);
}

TEST(VoiceRender, AForwardLoopOfLengthOnePlaysOnePointRepeatedly) {
    TestSample s = make_sample({100, 200, 300}, 2, 1, 1);
    Voice v = settled_voice(s.record(), STEP_ONE / 4 * 3); // 0.75 a frame: the guard point is read
    const std::vector<int64_t> left = left_side(render(v, 200));
    for (int i = 8; i < 200; ++i)
        ASSERT_EQ(left[i], full_contribution(300)) << i;
    EXPECT_EQ(v.position, 2);
    EXPECT_NE(v.sample, nullptr);
}

TEST(VoiceRender, PingPongLoopTurnsAtBothEnds) {
    TestSample s = make_sample({0, 100, 200, 300, 400, 500, 600, 700}, 2, 4, 2);
    Voice v = settled_voice(s.record(), STEP_ONE);
    const std::vector<int64_t> left = left_side(render(v, 16));
    // Forward to the loop end (its guard repeats point 5), back to the loop start, forward again.
    const int16_t expected[] = {0, 100, 200, 300, 400, 500, 500, 500, 400, 300, 200, 300, 400, 500, 500, 500};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(left[i], full_contribution(expected[i])) << i;
}

TEST(VoiceRender, TargetChangesRampOverOneHundredTwentyEightFrames) {
    std::vector<int16_t> flat(4000, 8192);
    TestSample s = make_sample(flat);
    Voice v = settled_voice(s.record(), STEP_ONE, 0);
    v.target_left = v.target_right = 127 * RAMP_FRAMES;
    const std::vector<int64_t> left = left_side(render(v, 300));
    EXPECT_EQ(left[0], 0);
    for (int i = 1; i < RAMP_FRAMES; ++i) {
        EXPECT_GT(left[i], left[i - 1]) << i;
        EXPECT_LT(left[i] - left[i - 1], full_contribution(8192) / 100) << i; // no step is a jump
    }
    for (int i = RAMP_FRAMES; i < 300; ++i)
        ASSERT_EQ(left[i], full_contribution(8192)) << i;
    EXPECT_EQ(v.current_left, FULL);
    EXPECT_EQ(v.ramp_count, 0);
}

TEST(VoiceRender, AnInterruptedFadeStillEndsInSilence) {
    std::vector<int16_t> flat(4000, 8192);
    TestSample s = make_sample(flat, 0, 4000, 1);
    Voice v = settled_voice(s.record(), STEP_ONE, 100);
    v.target_left = v.target_right = 37 * RAMP_FRAMES;
    render(v, 50); // halfway through that ramp the targets change again
    v.target_left = v.target_right = 0;
    render(v, RAMP_FRAMES);
    EXPECT_EQ(v.current_left, 0);
    EXPECT_EQ(v.current_right, 0);
    const std::vector<int64_t> acc = render(v, 500);
    for (int64_t a : acc)
        ASSERT_EQ(a, 0);
    EXPECT_NE(v.sample, nullptr); // it plays on, silently
}

TEST(VoiceRender, ATinyStepOnALongSampleMovesAtTheFloorRate) {
    std::vector<int16_t> long_sample(1 << 20, 1);
    TestSample s = make_sample(long_sample);
    Voice v = settled_voice(s.record(), 1);
    render(v, 1200); // 1,200 frames of the 40 Hz floor step fall just short of one point
    EXPECT_EQ(v.position, 0);
    render(v, 1);
    EXPECT_EQ(v.position, 1);
    EXPECT_NE(v.sample, nullptr);
}

TEST(VoiceRender, AHugeStepOnATinyPingPongLoopStaysInsideIt) {
    TestSample s = make_sample({1, 2, 3, 4, 5, 6}, 3, 2, 2);
    Voice v = settled_voice(s.record(), STEP_ONE * 1000 + 12345);
    for (int chunk = 0; chunk < 10; ++chunk) {
        render(v, 1024);
        ASSERT_GE(v.position, 3);
        ASSERT_LE(v.position, 5);
    }
}

TEST(VoiceRender, PositionsOutsideTheSampleSilenceTheVoiceWithoutReading) {
    TestSample s = make_sample({1, 2, 3, 4});
    Voice past_end = settled_voice(s.record(), STEP_ONE);
    past_end.position = 1000;
    Voice negative = settled_voice(s.record(), STEP_ONE);
    negative.position = -5;
    for (Voice* v : {&past_end, &negative}) {
        const std::vector<int64_t> acc = render(*v, 64);
        for (int64_t a : acc)
            EXPECT_EQ(a, 0);
        EXPECT_EQ(v->sample, nullptr);
    }
}

TEST(VoiceRender, ManyLoudVoicesInPhaseSumWithoutWrapping) {
    std::vector<int16_t> loud(64, 32767);
    TestSample s = make_sample(loud, 0, 64, 1);
    std::vector<Voice> voices(2 * MAX_CHANNELS, settled_voice(s.record(), STEP_ONE));
    std::vector<int64_t> acc(2 * 16, 0);
    mix_voices(voices, acc.data(), 16);
    for (int64_t a : acc)
        EXPECT_EQ(a, full_contribution(32767) * 2 * MAX_CHANNELS);
    EXPECT_EQ(convert_sample(acc[0], MUSIC_UNITY_VOLUME), 32767);
}

TEST(VoiceRender, VolumesBeyondTheSequencersRangeMixWithoutWrapping) {
    // The channel update never sets a target above 127; a voice that had one still sums exactly.
    constexpr int32_t HUGE_TARGET = 1 << 20;
    TestSample s = make_sample(std::vector<int16_t>(64, 32767), 0, 64, 1);
    std::vector<Voice> voices(3, settled_voice(s.record(), STEP_ONE, HUGE_TARGET));
    std::vector<int64_t> acc(2 * 16, 0);
    mix_voices(voices, acc.data(), 16);
    for (int64_t a : acc)
        EXPECT_EQ(a, int64_t{32767} * 64 * HUGE_TARGET * 3);
}
