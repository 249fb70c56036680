// The atlas as the program starts with it: the embedded PNG through engine_init.
#include "app/app.h"
#include "assets/embedded.h"
#include "engine/png_decode.h"
#include "engine/scene.h"
#include "engine_fixture.h"
#include "game/board.h"
#include "game/clouds.h"

namespace {

class StartUpAtlasTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        atlas = embedded_asset_find("atlas.png");
        if (!atlas) GTEST_SKIP() << "the atlas is not embedded in this build";
    }
    const EmbeddedAsset* atlas = nullptr;
};

TEST_F(StartUpAtlasTest, EngineInitLoadsTheEmbeddedAtlasIntoEntryZerosSlot) {
    engine_init();
    EXPECT_EQ(image_count, 1 + ATLAS_IMAGE_COUNT);
    EXPECT_EQ(texture_slot_count, 1);
    EXPECT_EQ(image_table[0].texture_slot, 0);
    EXPECT_EQ(image_table[0].name[0], '\0');
    EXPECT_EQ(texture_slots[0].width, ATLAS_SIZE);
    EXPECT_EQ(image_find("tile005.png"), 9);
    EXPECT_EQ(image_find("scorepin.png"), 42);
    EXPECT_EQ(virtual_gl().tex_image_calls, 1);
    // Decoding failures now end through the application's error path.
    EXPECT_EQ(engine_fatal_handler, &fatal_error);
}

// The clouds come first, so they are drawn under everything; then the board row by row and the
// four players, all hidden until a level is loaded.
TEST_F(StartUpAtlasTest, EngineInitMakesCloudsThenBoardThenPlayers) {
    cloud_sprites = {}; // as at program start
    engine_init();
    for (int i = 0; i < CLOUD_COUNT; ++i) {
        EXPECT_EQ(cloud_sprites[i], &sprite_pool[i]);
        EXPECT_EQ(sprite_pool[i].image, image_find("cloud001.png"));
    }
    EXPECT_EQ(board_first_sprite, CLOUD_COUNT);
    const Sprite& last_tile = sprite_pool[board_first_sprite + BOARD_TILES - 1];
    EXPECT_EQ(last_tile.x, 520);
    EXPECT_EQ(last_tile.y, 400);
    EXPECT_EQ(last_tile.visible, 0);
    EXPECT_EQ(player_first_sprite, CLOUD_COUNT + BOARD_TILES);
    EXPECT_EQ(sprite_pool[player_first_sprite + 3].image, image_find("player004.png"));
    EXPECT_EQ(sprite_scene_mark, player_first_sprite + PLAYER_SLOTS); // the intro's own come after
    EXPECT_EQ(current_scene, 1);                                      // "intro"
}

// The renderer samples a one-texel ring around every rectangle when it magnifies or turns a
// sprite; anything but transparent black there would show as a seam.
TEST_F(StartUpAtlasTest, EveryRectangleHasATransparentBorder) {
    const PixelBlockPtr block = png_decode("noname.dat", atlas->data, atlas->size);
    ASSERT_EQ(block->width, ATLAS_SIZE);
    ASSERT_EQ(block->height, ATLAS_SIZE);
    const uint8_t* pixels = pixel_block_pixels(block.get());
    auto transparent = [&](int x, int y) {
        const uint8_t* p = pixels + (static_cast<size_t>(y) * ATLAS_SIZE + x) * 4;
        return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
    };
    for (const ImageRecord& r : atlas_images) {
        int opaque_border = 0;
        for (int x = r.atlas_x - 1; x <= r.atlas_x + r.packed_width; ++x)
            opaque_border += !transparent(x, r.atlas_y - 1) + !transparent(x, r.atlas_y + r.packed_height);
        for (int y = r.atlas_y; y < r.atlas_y + r.packed_height; ++y)
            opaque_border += !transparent(r.atlas_x - 1, y) + !transparent(r.atlas_x + r.packed_width, y);
        EXPECT_EQ(opaque_border, 0) << r.name;
    }
}

} // namespace
