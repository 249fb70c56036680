// The player with its output thread on the virtual audio device, which plays only when the test
// advances it: start and stop, failures, the refill chase, the end of a song, and many cycles.
#include "audio/music/mixer.h"
#include "audio/music/music.h"
#include "platform/clock.h"
#include "tools/xm_writer/xm_writer.h"
#include "virtual_audio.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {
constexpr auto WAIT_LIMIT = std::chrono::seconds(60);

bool wait_for(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + WAIT_LIMIT;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Two channels of square waves with a new note every row, so every chunk differs.
std::vector<uint8_t> tune(int rows = 64, int speed = 3) {
    xm::Module m;
    m.channels = 2;
    m.speed = static_cast<uint16_t>(speed);
    m.bpm = 125;
    xm::Instrument instrument;
    instrument.samples.push_back(xm::square_sample(40, 12000));
    m.instruments.push_back(instrument);
    xm::Pattern p = xm::pattern(m, rows);
    for (int row = 0; row < rows; ++row) {
        xm::cell(m, p, row, row % 2).note = static_cast<uint8_t>(37 + row % 24);
        xm::cell(m, p, row, row % 2).instrument = 1;
    }
    m.patterns.push_back(p);
    return xm::write(m);
}

struct Offline {
    std::vector<std::vector<int16_t>> chunks;
    std::vector<uint32_t> positions, levels;
};

Offline render_offline(const std::vector<uint8_t>& file, int count, uint32_t flags) {
    Offline o;
    EXPECT_TRUE(music_load(file.data(), file.size(), flags));
    for (int i = 0; i < count; ++i) {
        const size_t entry = static_cast<size_t>(mixer.write_chunk);
        mix_chunk();
        o.chunks.emplace_back(last_chunk().begin(), last_chunk().end());
        o.positions.push_back(mixer.queries[entry].position.load());
        o.levels.push_back(mixer.queries[entry].levels.load());
    }
    music_unload();
    return o;
}

// Chunks that an ended song fills before the player may let go of the device.
int chunks_with_sound(const std::vector<uint8_t>& file) {
    EXPECT_TRUE(music_load(file.data(), file.size(), MUSIC_FROM_MEMORY));
    int chunks = 0;
    while (!mixer_song_done()) {
        mix_chunk();
        ++chunks;
    }
    music_unload();
    return chunks;
}

AudioDevice* music_device() {
    std::vector<AudioDevice*> open = virtual_audio_open_devices();
    return open.size() == 1 ? open[0] : nullptr;
}

uint32_t chunks_mixed_by_time(int chunks) {
    return static_cast<uint32_t>(chunks * CHUNK_FRAMES / FRAMES_PER_MS);
}

class PlayerThread : public ::testing::Test {
  protected:
    void SetUp() override {
        virtual_audio_refuse_open(false);
        music_set_volume(25);
    }
    void TearDown() override {
        music_stop();
        virtual_audio_refuse_open(false);
    }
};
} // namespace

TEST_F(PlayerThread, StartFillsTheWholeRingAndPlaysItInALoop) {
    const std::vector<uint8_t> file = tune();
    const Offline expected = render_offline(file, RING_CHUNKS, MUSIC_FROM_MEMORY);
    ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY));
    AudioDevice* device = music_device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(virtual_audio_rate(device), OUTPUT_RATE);
    EXPECT_TRUE(virtual_audio_looping(device));
    ASSERT_EQ(virtual_audio_buffer_bytes(device), static_cast<uint32_t>(RING_BYTES));
    EXPECT_TRUE(music_playing());
    music_stop();
    for (int c = 0; c < RING_CHUNKS; ++c)
        EXPECT_EQ(0, std::memcmp(mixer.ring.data() + c * CHUNK_FRAMES * 2,
                                 expected.chunks[static_cast<size_t>(c)].data(), CHUNK_BYTES))
            << c;
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_FALSE(music_playing());
}

TEST_F(PlayerThread, TheThreadRefillsPlayedChunksAndQueriesFollowTheSoundHeard) {
    const std::vector<uint8_t> file = tune();
    constexpr int PLAYED = 40;
    const Offline expected = render_offline(file, RING_CHUNKS + PLAYED, MUSIC_FROM_MEMORY);
    ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY));
    AudioDevice* device = music_device();
    for (int heard = 1; heard <= PLAYED; ++heard) {
        virtual_audio_advance(device, CHUNK_BYTES);
        ASSERT_TRUE(wait_for([&] { return music_time_ms() == chunks_mixed_by_time(RING_CHUNKS + heard); }))
            << heard;
        ASSERT_TRUE(wait_for([&] {
            return music_position() == expected.positions[static_cast<size_t>(heard)] &&
                   music_levels() == expected.levels[static_cast<size_t>(heard)];
        })) << heard;
    }
    music_stop();
    for (int c = 0; c < RING_CHUNKS; ++c) {
        const int latest = c + RING_CHUNKS * ((RING_CHUNKS + PLAYED - 1 - c) / RING_CHUNKS);
        EXPECT_EQ(0, std::memcmp(mixer.ring.data() + c * CHUNK_FRAMES * 2,
                                 expected.chunks[static_cast<size_t>(latest)].data(), CHUNK_BYTES))
            << c;
    }
}

TEST_F(PlayerThread, StartingWhilePlayingStopsTheOldSongFirst) {
    const std::vector<uint8_t> first = tune(), second = tune(32, 2);
    ASSERT_TRUE(music_start(first.data(), first.size(), MUSIC_FROM_MEMORY | MUSIC_LOOP));
    AudioDevice* old_device = music_device();
    virtual_audio_advance(old_device, 3 * CHUNK_BYTES);
    ASSERT_TRUE(music_start(second.data(), second.size(), MUSIC_FROM_MEMORY));
    ASSERT_EQ(virtual_audio_open_count(), 1);
    EXPECT_EQ(virtual_audio_submissions(music_device()), 1); // a fresh device, not the old one
    music_stop();
    const Offline expected = render_offline(second, RING_CHUNKS, MUSIC_FROM_MEMORY);
    for (int c = 0; c < RING_CHUNKS; ++c)
        EXPECT_EQ(0, std::memcmp(mixer.ring.data() + c * CHUNK_FRAMES * 2,
                                 expected.chunks[static_cast<size_t>(c)].data(), CHUNK_BYTES))
            << c;
}

TEST_F(PlayerThread, FailuresLeaveThePlayerIdleWithNoDeviceOpen) {
    const std::vector<uint8_t> good = tune();
    xm::Module wide;
    wide.channels = 65;
    wide.patterns.push_back(xm::pattern(wide, 4));
    const std::vector<uint8_t> too_wide = xm::write(wide);
    xm::Module crowded;
    crowded.patterns.push_back(xm::pattern(crowded, 4));
    crowded.instruments.emplace_back();
    crowded.instruments[0].samples.assign(17, xm::square_sample(8, 100));
    const std::vector<uint8_t> too_many_samples = xm::write(crowded);

    EXPECT_FALSE(music_start(too_wide.data(), too_wide.size(), MUSIC_FROM_MEMORY));
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_FALSE(music_start(too_many_samples.data(), too_many_samples.size(), MUSIC_FROM_MEMORY));
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_FALSE(music_start(good.data(), 60, MUSIC_FROM_MEMORY)); // cut before the pattern count
    EXPECT_FALSE(music_start("no such file.xm", 0, MUSIC_FROM_FILE));
    EXPECT_FALSE(music_start("no such resource", 0, 0));
    virtual_audio_refuse_open(true);
    EXPECT_FALSE(music_start(good.data(), good.size(), MUSIC_FROM_MEMORY));
    virtual_audio_refuse_open(false);
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_FALSE(music_playing());
    EXPECT_EQ(music_position(), 0u);
    EXPECT_EQ(music_levels(), 0u);
    EXPECT_EQ(music_time_ms(), 0u);

    ASSERT_TRUE(music_start(good.data(), good.size(), MUSIC_FROM_MEMORY));
    EXPECT_FALSE(music_start(nullptr, 0, MUSIC_FROM_MEMORY)); // a null module only stops
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_FALSE(music_playing());
}

TEST_F(PlayerThread, ASongWithoutLoopIsHeardToItsEndThenThePlayerReleasesEverything) {
    // Four rows of 2,880 frames, shorter than the ring: it ends while the ring is first filled.
    const std::vector<uint8_t> file = tune(4, 3);
    const int chunks = chunks_with_sound(file);
    ASSERT_LT(chunks, RING_CHUNKS);
    ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY));
    AudioDevice* device = music_device();
    virtual_audio_advance(device, static_cast<uint32_t>((chunks - 1) * CHUNK_BYTES));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(music_playing()); // the last chunk with sound has not been heard yet
    EXPECT_EQ(virtual_audio_open_count(), 1);
    virtual_audio_advance(device, CHUNK_BYTES); // the thread now closes this device
    ASSERT_TRUE(wait_for([] { return !music_playing(); }));
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_EQ(music_position(), 0u);
    music_stop(); // joins the finished thread; nothing else to do
    ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY));
    EXPECT_TRUE(music_playing());
}

TEST_F(PlayerThread, StartingPausedGivesSilenceUntilResumed) {
    const std::vector<uint8_t> file = tune();
    ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY | MUSIC_PAUSED));
    AudioDevice* device = music_device();
    EXPECT_EQ(music_time_ms(), 0u);
    music_resume();
    virtual_audio_advance(device, 2 * CHUNK_BYTES);
    ASSERT_TRUE(wait_for([] { return music_time_ms() == chunks_mixed_by_time(2); }));
    music_stop();
    for (int c = 2; c < RING_CHUNKS; ++c)
        for (int i = 0; i < CHUNK_FRAMES * 2; ++i)
            ASSERT_EQ(mixer.ring[static_cast<size_t>(c * CHUNK_FRAMES * 2 + i)], 0);
    bool sound = false;
    for (int i = 0; i < 2 * CHUNK_FRAMES * 2; ++i)
        sound = sound || mixer.ring[static_cast<size_t>(i)] != 0;
    EXPECT_TRUE(sound);
}

// Looping songs are stopped while the thread mixes; the others are played to their end just as
// music_stop comes, so the thread's own release meets the stop request.
TEST_F(PlayerThread, TenThousandStartStopCyclesWithCallsInBetween) {
    const std::vector<uint8_t> file = tune(4, 1);
    const int chunks = chunks_with_sound(file);
    for (int cycle = 0; cycle < 10000; ++cycle) {
        const bool loop = cycle % 2 == 0;
        ASSERT_TRUE(music_start(file.data(), file.size(), MUSIC_FROM_MEMORY | (loop ? MUSIC_LOOP : 0u)));
        AudioDevice* device = music_device();
        const int first = cycle % chunks;
        virtual_audio_advance(device, static_cast<uint32_t>(CHUNK_BYTES * first));
        if (cycle % 3 == 0) music_pause();
        music_set_order(cycle % 5 - 1);
        (void)music_levels();
        (void)music_position();
        (void)music_time_ms();
        (void)music_playing();
        music_resume();
        music_set_volume(cycle % 27);
        if (cycle % 7 == 0) std::this_thread::yield();
        // The last touch of a device that the thread may close itself.
        virtual_audio_advance(device, static_cast<uint32_t>(CHUNK_BYTES * (loop ? 1 : chunks - first)));
        if (cycle % 4 == 1) std::this_thread::sleep_for(std::chrono::microseconds(cycle % 300));
        music_stop();
        ASSERT_EQ(virtual_audio_open_count(), 0) << cycle;
        ASSERT_FALSE(music_playing()) << cycle;
    }
}

// The output thread sleeps between steps at real-time priority where the system grants it; on the
// virtual clock a sleep must still leave the processor (a blocking wait, which the kernel counts as
// a voluntary switch), or two such tests at once hold both cores.
TEST(VirtualSleep, LeavesTheProcessor) {
    constexpr int SLEEPS = 20;
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    for (int i = 0; i < SLEEPS; ++i)
        platform_sleep_ms(1);
    getrusage(RUSAGE_THREAD, &after);
    EXPECT_GE(after.ru_nvcsw - before.ru_nvcsw, SLEEPS);
}
