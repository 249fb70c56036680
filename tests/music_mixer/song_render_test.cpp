// Whole songs through the chunk mixer without a device: modules built in code, loaded from
// memory and rendered chunk by chunk, as the render tool does.
#include "audio/music/mixer.h"
#include "audio/music/module_loader.h"
#include "audio/music/music.h"
#include "demo_song.h"
#include "render_song.h"
#include "tools/xm_writer/xm_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {
constexpr uint8_t NOTE_C4 = 49;
// The test sine (amplitude 20,000, centre panning) comes out at about 4,940; at C-4 it moves by
// at most 85 a frame, and two 128-frame ramps crossing add under 80 each. A cut would jump by
// thousands.
constexpr int PEAK = 4000;
constexpr int SMOOTH_JUMP = 400;

// One channel playing a looped sine; rows given as (row, note) pairs.
xm::Module sine_song(const std::vector<std::pair<int, uint8_t>>& notes, int rows = 16) {
    xm::Module m;
    m.channels = 2;
    m.speed = 4;
    m.bpm = 250;
    xm::Instrument instrument;
    instrument.samples.push_back(demo::sine(64, 20000));
    m.instruments.push_back(instrument);
    xm::Pattern p = xm::pattern(m, rows);
    for (auto [row, note] : notes) {
        xm::cell(m, p, row, 0).note = note;
        xm::cell(m, p, row, 0).instrument = 1;
    }
    m.patterns.push_back(p);
    return m;
}

int peak(const std::vector<int16_t>& samples) {
    int p = 0;
    for (int16_t s : samples)
        p = std::max(p, std::abs(int{s}));
    return p;
}

// Largest change between neighbouring frames on the left side.
int largest_left_jump(const std::vector<int16_t>& samples) {
    int jump = 0;
    for (size_t i = 2; i < samples.size(); i += 2)
        jump = std::max(jump, std::abs(samples[i] - samples[i - 2]));
    return jump;
}

class SongRender : public ::testing::Test {
  protected:
    void SetUp() override {
        music_set_volume(25);
        mixer.paused.store(false);
    }
    void TearDown() override { music_unload(); }
};
} // namespace

TEST_F(SongRender, TheSameModuleRendersToTheSameBytes) {
    xm::Module m = sine_song({{0, NOTE_C4}, {3, NOTE_C4 + 7}, {6, NOTE_C4 + 3}, {9, NOTE_KEY_OFF}});
    m.instruments[0].samples.push_back(demo::sine(32, 9000));
    m.instruments[0].vibrato_depth = 8;
    m.instruments[0].vibrato_rate = 20;
    const std::vector<uint8_t> file = xm::write(m);
    const Rendered first = render(file, 200), second = render(file, 200);
    ASSERT_FALSE(first.samples.empty());
    EXPECT_GT(peak(first.samples), 1000);
    EXPECT_EQ(first.samples, second.samples);
}

TEST_F(SongRender, LevelZeroSilencesWhileTheSongAdvances) {
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}}));
    music_set_volume(0);
    const Rendered quiet = render(file, 40);
    music_set_volume(25);
    const Rendered loud = render(file, 40);
    EXPECT_EQ(peak(quiet.samples), 0);
    EXPECT_GT(peak(loud.samples), PEAK);
    EXPECT_EQ(quiet.positions, loud.positions);
    EXPECT_GT(quiet.positions.back(), quiet.positions.front());
}

TEST_F(SongRender, ARetriggerOnAPlayingChannelDoesNotClick) {
    // The note restarts at phase 0 while the old one is near its peak: a cut would jump by ~20,000.
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}, {1, NOTE_C4}, {2, NOTE_C4 + 12}}));
    const Rendered r = render(file, 12);
    EXPECT_GT(peak(r.samples), PEAK);
    EXPECT_LT(largest_left_jump(r.samples), SMOOTH_JUMP);
}

TEST_F(SongRender, ASongWithoutLoopPlaysItsLastRowThenFadesAndEnds) {
    // Four rows of 1,920 frames: the last row sounds in full, then the song stops within a chunk.
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}}, 4));
    const Rendered r = render(file, 1000);
    const size_t song_frames = 4 * 1920;
    ASSERT_GE(r.samples.size() / 2, song_frames + 128);
    EXPECT_LE(r.samples.size() / 2, song_frames + 3 * CHUNK_FRAMES);
    const std::vector<int16_t> last_row(r.samples.begin() + 2 * (song_frames - 200),
                                        r.samples.begin() + 2 * song_frames);
    EXPECT_GT(peak(last_row), PEAK);
    const std::vector<int16_t> after(r.samples.begin() + 2 * (song_frames + RAMP_FRAMES), r.samples.end());
    EXPECT_EQ(peak(after), 0);
    EXPECT_LT(largest_left_jump(r.samples), SMOOTH_JUMP); // the fade at the end is no click either
}

TEST_F(SongRender, ALoopingSongNeverEnds) {
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}}, 4));
    const Rendered r = render(file, 100, MUSIC_FROM_MEMORY | MUSIC_LOOP);
    EXPECT_EQ(r.samples.size(), size_t{100} * CHUNK_FRAMES * 2);
}

TEST_F(SongRender, PausedChunksAreSilentAndKeepTheSongWhereItIs) {
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}}));
    ASSERT_TRUE(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY));
    for (int i = 0; i < 5; ++i)
        mix_chunk();
    const int32_t row = song.row, tick = song.tick, left = song.frames_left_in_tick;
    const uint32_t time = music_time_ms();
    mixer.paused.store(true);
    for (int i = 0; i < 5; ++i) {
        mix_chunk();
        for (int16_t s : last_chunk())
            ASSERT_EQ(s, 0);
    }
    EXPECT_EQ(song.row, row);
    EXPECT_EQ(song.tick, tick);
    EXPECT_EQ(song.frames_left_in_tick, left);
    EXPECT_EQ(music_time_ms(), time);
    mixer.paused.store(false);
    mix_chunk();
    EXPECT_GT(peak(std::vector<int16_t>(last_chunk().begin(), last_chunk().end())), PEAK);
}

TEST_F(SongRender, ElapsedTimeCountsEveryFrame) {
    const std::vector<uint8_t> file = xm::write(sine_song({{0, NOTE_C4}}));
    ASSERT_TRUE(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY | MUSIC_LOOP));
    for (int i = 1; i <= 300; ++i) {
        mix_chunk();
        ASSERT_EQ(music_time_ms(), static_cast<uint32_t>(i * CHUNK_FRAMES / FRAMES_PER_MS)) << i;
    }
}

TEST_F(SongRender, SetOrderTakesEffectAtTheNextRow) {
    xm::Module m = sine_song({{0, NOTE_C4}});
    m.patterns.push_back(xm::pattern(m, 64));
    m.patterns.push_back(xm::pattern(m, 64));
    m.orders = {0, 1, 2};
    const std::vector<uint8_t> file = xm::write(m);
    ASSERT_TRUE(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY));
    mix_chunk(); // within row 0 (1,920 frames a row)
    music_set_order(2);
    mix_chunk();
    EXPECT_EQ(song.order, 2);
    EXPECT_EQ(song.row, 0);
    music_set_order(7); // beyond the song: order 0
    mix_chunk();
    mix_chunk();
    EXPECT_EQ(song.order, 0);
}
