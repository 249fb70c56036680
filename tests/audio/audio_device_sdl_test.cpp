// The SDL audio device, fed through SDL's file-writing driver so that what the callback hands
// over can be read back: whole frames only, once or looping, and a clean refusal to open.
#include "platform/audio_device.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr int RATE = 44'100;

class SdlDevice : public ::testing::Test {
  protected:
    // One file per process: ctest runs these tests side by side.
    std::string output = ::testing::TempDir() + "sdl_device_output_" + std::to_string(getpid()) + ".raw";
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1); // no need to wait in real time
    }
    void TearDown() override {
        SDL_QuitSubSystem(SDL_INIT_AUDIO); // the next test starts with the driver it names
        std::remove(output.c_str());
    }
    std::vector<int16_t> written() const {
        std::ifstream in(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
        return samples;
    }
};

// Waits up to 10 s for the predicate.
template <typename F>
bool eventually(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Index of the first occurrence of pattern in samples, or -1.
long find(const std::vector<int16_t>& samples, const std::vector<int16_t>& pattern) {
    const auto at = std::search(samples.begin(), samples.end(), pattern.begin(), pattern.end());
    return at == samples.end() ? -1 : static_cast<long>(at - samples.begin());
}
} // namespace

TEST_F(SdlDevice, PlaysABufferOnceInWholeFramesAndThenLetsGo) {
    AudioDevice* device = audio_device_open(RATE);
    ASSERT_NE(device, nullptr);
    // Ten frames and a lone left sample, as the stored effects end.
    std::vector<int16_t> buffer;
    for (int16_t i = 1; i <= 21; ++i)
        buffer.push_back(static_cast<int16_t>(1000 + i));
    ASSERT_TRUE(audio_device_play(device, buffer.data(), 42, false));
    EXPECT_FALSE(audio_device_play(device, buffer.data(), 42, false)) << "one buffer at a time";
    ASSERT_TRUE(eventually([&] { return !audio_device_busy(device); }));
    EXPECT_EQ(audio_device_bytes_played(device), 40u);
    audio_device_close(device);

    const std::vector<int16_t> out = written();
    const long at = find(out, std::vector<int16_t>(buffer.begin(), buffer.begin() + 20));
    ASSERT_GE(at, 0) << "the ten frames were not handed over in order";
    EXPECT_EQ(find(out, {1021}), -1) << "the half frame is not played";
    for (size_t i = static_cast<size_t>(at) + 20; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << "silence after the buffer, at " << i;
}

TEST_F(SdlDevice, LoopsUntilResetAndTwoDevicesPlayAtOnce) {
    AudioDevice* music = audio_device_open(48'000);
    AudioDevice* effects = audio_device_open(RATE);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(effects, nullptr);
    const std::vector<int16_t> ring{11, -11, 22, -22, 33, -33};
    const std::vector<int16_t> blip(400, 77);
    ASSERT_TRUE(audio_device_play(music, ring.data(), 12, true));
    ASSERT_TRUE(audio_device_play(effects, blip.data(), 800, false));
    ASSERT_TRUE(eventually([&] { return audio_device_bytes_played(music) > 12 * 50; }));
    EXPECT_TRUE(audio_device_busy(music)) << "a loop is held until reset";
    ASSERT_TRUE(eventually([&] { return !audio_device_busy(effects); }));
    EXPECT_EQ(audio_device_bytes_played(effects), 800u);

    audio_device_reset(music);
    EXPECT_FALSE(audio_device_busy(music));
    const uint64_t stopped = audio_device_bytes_played(music);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(audio_device_bytes_played(music), stopped) << "nothing handed over after a reset";
    EXPECT_TRUE(audio_device_play(music, ring.data(), 12, true)) << "a reset device takes a new buffer";
    audio_device_close(effects);
    audio_device_close(music);
}

TEST_F(SdlDevice, OpeningFailsWhenThereIsNoOutput) {
    setenv("SDL_AUDIODRIVER", "no-such-output", 1);
    EXPECT_EQ(audio_device_open(RATE), nullptr);
    // And a later open with a working output still succeeds.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    AudioDevice* device = audio_device_open(RATE);
    EXPECT_NE(device, nullptr);
    if (device) audio_device_close(device);
}

// The music thread closes its device at the end of a song while the main thread may be opening
// the effects device; the audio subsystem must not be stopped from there behind its back.
TEST_F(SdlDevice, ClosingOnAnotherThreadLeavesTheAudioSubsystemRunning) {
    AudioDevice* music = audio_device_open(48'000);
    ASSERT_NE(music, nullptr);
    std::thread([music] { audio_device_close(music); }).join();
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    AudioDevice* effects = audio_device_open(RATE);
    ASSERT_NE(effects, nullptr);
    const std::vector<int16_t> blip(400, 77);
    ASSERT_TRUE(audio_device_play(effects, blip.data(), 800, false));
    EXPECT_TRUE(eventually([&] { return !audio_device_busy(effects); }));
    audio_device_close(effects);
}
