// Shared set-up of the engine tests: empty tables, a fresh virtual platform, and PNGs made on
// the spot (the tests never depend on the game's art).
#pragma once
#include "assets/atlas_images.h"
#include "engine/atlas.h"
#include "engine/fatal_hook.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/sprite_pool.h"
#include "engine_tables_clear.h"
#include "virtual_gl.h"
#include "virtual_platform.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <vector>

inline std::vector<uint8_t> encode_png(const std::vector<uint8_t>& rgba, unsigned width, unsigned height) {
    unsigned char* out = nullptr;
    size_t size = 0;
    const unsigned error = lodepng_encode32(&out, &size, rgba.data(), width, height);
    EXPECT_EQ(error, 0u) << lodepng_error_text(error);
    std::vector<uint8_t> png(out, out + size);
    std::free(out);
    return png;
}

// A blank atlas as wide as the game's: only the width scales texture coordinates, and a few
// rows keep the tests quick.
constexpr int BLANK_ATLAS_HEIGHT = 8;
inline const std::vector<uint8_t>& blank_atlas_png() {
    static const std::vector<uint8_t> png = encode_png(
        std::vector<uint8_t>(ATLAS_SIZE * BLANK_ATLAS_HEIGHT * 4, 0), ATLAS_SIZE, BLANK_ATLAS_HEIGHT);
    return png;
}

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        virtual_platform_reset();
        engine_fatal_handler = nullptr;
        engine_tables_clear();
    }

    // What engine_init does: entry 0 for the atlas, then the images of the atlas texture.
    static void load_start_up_atlas() {
        const int32_t entry = image_new();
        ASSERT_EQ(entry, 0);
        const auto& png = blank_atlas_png();
        const int32_t slot = atlas_load("noname.dat", png.data(), png.size(), atlas_images);
        ASSERT_EQ(slot, 0);
        image_table[entry].texture_slot = slot;
    }
};
