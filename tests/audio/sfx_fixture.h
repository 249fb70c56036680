// Shared set-up of the effects tests: the module back at program start on the virtual device.
#pragma once
#include "assets/embedded.h"
#include "audio/sfx.h"
#include "platform/audio_device.h"
#include "virtual_audio.h"

#include <gtest/gtest.h>

class Sfx : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        sfx_close();
        sfx_enabled = 1;
        virtual_audio_refuse_open(false);
    }
    // Opens the module quietly (its two start-up lines are checked elsewhere).
    static AudioDevice* start() {
        ::testing::internal::CaptureStdout();
        sfx_enabled = 0;
        sfx_play("");
        sfx_enabled = 1;
        ::testing::internal::GetCapturedStdout();
        return sfx_module.device;
    }
};

// The embedded stored effect of that file name; the tests compare buffers by address and size.
inline const EmbeddedAsset& stored_effect(const char* file) {
    static const EmbeddedAsset missing{"", nullptr, 0};
    const EmbeddedAsset* asset = embedded_asset_find(file);
    EXPECT_NE(asset, nullptr) << file << " is not embedded";
    return asset ? *asset : missing;
}
