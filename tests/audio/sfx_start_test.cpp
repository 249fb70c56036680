// Opening the module on the first request, the pump before it, and a device that cannot open.
#include "sfx_fixture.h"

#include "audio/sfx_synth.h"
#include "virtual_platform.h"

TEST_F(Sfx, PumpBeforeAnyRequestDoesNothing) {
    sfx_pump();
    sfx_pump();
    EXPECT_EQ(sfx_module.state, SFX_CLOSED);
    EXPECT_EQ(sfx_module.device, nullptr);
    EXPECT_EQ(virtual_audio_open_count(), 0);
}

TEST_F(Sfx, FirstRequestWithEffectsOffStillOpensAndRendersButRecordsNothing) {
    sfx_enabled = 0;
    ::testing::internal::CaptureStdout();
    sfx_play("tic");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "playing 1 tones\n12 4\n");

    ASSERT_EQ(virtual_audio_open_count(), 1);
    AudioDevice* device = virtual_audio_open_devices()[0];
    EXPECT_EQ(sfx_module.device, device);
    EXPECT_EQ(virtual_audio_rate(device), 44'100);
    EXPECT_EQ(sfx_module.state, SFX_READY);
    EXPECT_EQ(sfx_module.rendered_length, 80'000);
    EXPECT_EQ(sfx_module.write_position, 40'000);
    EXPECT_EQ(sfx_module.pending_length, 0);

    sfx_pump();
    EXPECT_EQ(virtual_audio_submissions(device), 0);
    EXPECT_EQ(sfx_module.state, SFX_READY);

    // Later requests neither reopen nor render again.
    sfx_enabled = 1;
    ::testing::internal::CaptureStdout();
    sfx_play("tic");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(virtual_audio_open_count(), 1);
    EXPECT_EQ(sfx_module.write_position, 40'000);
}

TEST_F(Sfx, DeviceThatCannotOpenPrintsTheLineAndExitsWithStatusOne) {
    virtual_audio_refuse_open(true);
    sfx_enabled = 0; // the failure comes even with effects off
    ::testing::internal::CaptureStderr();
    int status = -1;
    try {
        sfx_play("bounce");
    } catch (const VirtualExit& exit) {
        status = exit.status;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "unable to open WAVE_MAPPER device\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(virtual_audio_open_count(), 0);
}

TEST_F(Sfx, CloseReleasesTheDeviceAndTheNextRequestStartsAgain) {
    start();
    sfx_play("x");
    sfx_pump();
    sfx_close();
    EXPECT_EQ(virtual_audio_open_count(), 0);
    EXPECT_EQ(sfx_module.state, SFX_CLOSED);
    EXPECT_EQ(sfx_module.synthesis, nullptr);
    sfx_pump(); // nothing to talk to: must not touch the closed device

    ::testing::internal::CaptureStdout();
    sfx_play("x");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "playing 1 tones\n12 4\n");
    EXPECT_EQ(sfx_module.write_position, 40'000);
    EXPECT_EQ(sfx_module.pending_length, 80'000);
}
