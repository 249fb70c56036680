// Requests and the pump: which effect goes out, when, and in full.
#include "sfx_fixture.h"

#include "audio/sfx_synth.h"
#include "virtual_platform.h"

#include <atomic>
#include <thread>

namespace {
const void* synthesis() {
    return sfx_module.synthesis;
}
} // namespace

TEST_F(Sfx, NamesAreExactAndAnythingElsePlaysTheDefaultTone) {
    AudioDevice* device = start();
    struct Case {
        const char* name;
        const char* file; // null: the default tone
        uint32_t bytes;
    };
    const Case cases[] = {
        {"tic", "tic.raw", 26'294},     {"bounce", "bounce.raw", 8'654},
        {"death", "death.raw", 43'578}, {"winner", "winner.raw", 85'070},
        {"Tic", nullptr, 80'000},       {"tic ", nullptr, 80'000},
        {"", nullptr, 80'000},          {"ti", nullptr, 80'000},
        {"winners", nullptr, 80'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sfx_play(c.name);
        sfx_pump();
        const void* expected = c.file ? stored_effect(c.file).data : synthesis();
        EXPECT_EQ(virtual_audio_buffer(device), expected);
        EXPECT_EQ(virtual_audio_buffer_bytes(device), c.bytes);
        EXPECT_FALSE(virtual_audio_looping(device));
        virtual_audio_advance(device, c.bytes);
        sfx_pump(); // released
        EXPECT_EQ(sfx_module.state, SFX_READY);
    }
    sfx_play(nullptr); // no name at all is no name we know
    EXPECT_EQ(sfx_module.pending_data, synthesis());
}

TEST_F(Sfx, OnlyTheLastRequestBeforeAPumpSounds) {
    AudioDevice* device = start();
    sfx_play("tic");
    sfx_play("bounce");
    sfx_pump();
    EXPECT_EQ(virtual_audio_submissions(device), 1);
    EXPECT_EQ(virtual_audio_buffer(device), stored_effect("bounce.raw").data);
    EXPECT_EQ(sfx_module.pending_length, 0);
    EXPECT_EQ(sfx_module.state, SFX_PLAYING);
}

TEST_F(Sfx, RequestDuringAnEffectWaitsForTheReleaseAndThenSoundsInFull) {
    AudioDevice* device = start();
    const EmbeddedAsset& tic = stored_effect("tic.raw");
    const EmbeddedAsset& winner = stored_effect("winner.raw");
    sfx_play("tic");
    sfx_pump();
    sfx_play("bounce");
    sfx_pump();
    sfx_play("winner"); // replaces the waiting bounce
    virtual_audio_advance(device, tic.size - 2);
    sfx_pump();
    EXPECT_EQ(sfx_module.state, SFX_PLAYING);
    EXPECT_EQ(virtual_audio_submissions(device), 1);

    virtual_audio_advance(device, 2);
    sfx_pump(); // finds the release
    EXPECT_EQ(sfx_module.state, SFX_READY);
    EXPECT_EQ(virtual_audio_submissions(device), 1);
    sfx_pump(); // one pass later the waiting request goes out, from its start
    EXPECT_EQ(virtual_audio_submissions(device), 2);
    EXPECT_EQ(virtual_audio_buffer(device), winner.data);
    EXPECT_EQ(virtual_audio_buffer_bytes(device), winner.size);
    EXPECT_EQ(audio_device_bytes_played(device), 0u);
    sfx_pump();
    EXPECT_EQ(virtual_audio_submissions(device), 2) << "a released effect is not played twice";
}

TEST_F(Sfx, SwitchOffStopsNewRequestsButNotOneAlreadyPending) {
    AudioDevice* device = start();
    sfx_play("death");
    sfx_enabled = 0;
    sfx_play("bounce"); // ignored
    sfx_pump();
    EXPECT_EQ(virtual_audio_buffer(device), stored_effect("death.raw").data);
    virtual_audio_advance(device, stored_effect("death.raw").size);
    sfx_pump();
    sfx_pump();
    EXPECT_EQ(virtual_audio_submissions(device), 1);
}

TEST_F(Sfx, PlayWaitBlocksUntilTheDeviceLetsGo) {
    EXPECT_EQ(sfx_play_wait(synthesis(), 400), SFX_PLAY_REFUSED) << "no device yet";
    AudioDevice* device = start();
    virtual_clock_reset();
    // The device plays only when told: a helper lets it finish once 700 ms have been waited.
    std::atomic<bool> done{false};
    std::thread player([&] {
        while (!done.load()) {
            if (virtual_slept_ms() >= 700) virtual_audio_advance(device, 400);
            std::this_thread::yield();
        }
    });
    EXPECT_EQ(sfx_play_wait(synthesis(), 400), 0);
    done.store(true);
    player.join();
    EXPECT_GE(virtual_slept_ms(), 700);
    EXPECT_EQ(virtual_slept_ms() % 100, 0) << "500 ms, then steps of 100 ms";
    EXPECT_FALSE(audio_device_busy(device));

    sfx_play("x");
    sfx_pump();
    EXPECT_EQ(sfx_play_wait(synthesis(), 400), SFX_PLAY_REFUSED) << "the device still holds an effect";
}
