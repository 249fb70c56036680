#include "engine_fixture.h"

#include <GL/gl.h>
#include <string>

namespace {

using ImageTableTest = EngineTest;

TEST_F(ImageTableTest, AtlasBecomesOneLinearTextureWithEveryImageOnItsSlot) {
    load_start_up_atlas();
    EXPECT_EQ(image_count, 1 + ATLAS_IMAGE_COUNT);
    EXPECT_EQ(texture_slot_count, 1);
    EXPECT_EQ(texture_slots[0].width, ATLAS_SIZE);
    for (int i = 1; i <= ATLAS_IMAGE_COUNT; ++i) {
        EXPECT_STREQ(image_table[i].name, atlas_images[i - 1].name);
        EXPECT_EQ(image_table[i].atlas_y, atlas_images[i - 1].atlas_y);
        EXPECT_EQ(image_table[i].texture_slot, 0);
    }
    const VirtualGl& gl = virtual_gl();
    EXPECT_EQ(gl.tex_image_calls, 1);
    EXPECT_EQ(gl.tex_level, 0);
    EXPECT_EQ(gl.tex_width, ATLAS_SIZE);
    EXPECT_EQ(gl.tex_height, BLANK_ATLAS_HEIGHT);
    EXPECT_EQ(gl.min_filter, GL_LINEAR);
    EXPECT_EQ(gl.mag_filter, GL_LINEAR);
    EXPECT_EQ(gl.bound_texture, texture_slots[0].gl_name);
}

TEST_F(ImageTableTest, FindsNamesByteWiseOverAtMost32Characters) {
    load_start_up_atlas();
    EXPECT_EQ(image_find("tile005.png"), 9);
    EXPECT_EQ(image_find("scorepin.png"), 42);
    EXPECT_EQ(image_find("scorechar7.png"), 43); // the digit added after the others
    EXPECT_EQ(image_find("abc.png"), -1);
    EXPECT_EQ(image_find("TILE005.png"), -1);
    EXPECT_EQ(image_find("tile005.pn"), -1);
    EXPECT_EQ(image_find(""), 0); // the atlas entry has no name
    EXPECT_EQ(image_find(nullptr), -1);

    const std::string name32(IMAGE_NAME_LENGTH, 'n');
    const int32_t entry = image_new(), twin = image_new();
    std::memcpy(image_table[entry].name, name32.data(), IMAGE_NAME_LENGTH); // no NUL in the field
    std::memcpy(image_table[twin].name, name32.data(), IMAGE_NAME_LENGTH);
    EXPECT_EQ(image_find(name32.c_str()), entry); // the lowest index wins
    EXPECT_EQ(image_find((name32 + "tail").c_str()), entry);
    EXPECT_EQ(image_find(name32.substr(0, 31).c_str()), -1);
}

TEST_F(ImageTableTest, TablesStopAtTheirLimitsAndKeepOldContents) {
    image_table[7].atlas_x = 123;
    for (int i = 0; i < IMAGE_TABLE_SIZE; ++i)
        ASSERT_EQ(image_new(), i);
    EXPECT_EQ(image_new(), -1);
    EXPECT_EQ(image_table[7].atlas_x, 123); // taking an entry only marks it used
    for (int i = 0; i < TEXTURE_SLOT_COUNT; ++i)
        ASSERT_EQ(texture_slot_new(), i);
    EXPECT_EQ(texture_slot_new(), -1);
}

TEST_F(ImageTableTest, AtlasLoadWithoutRoomChangesNothing) {
    const auto& png = blank_atlas_png();
    image_count = IMAGE_TABLE_SIZE - ATLAS_IMAGE_COUNT + 1;
    EXPECT_EQ(atlas_load("", png.data(), png.size(), atlas_images), -1);
    EXPECT_EQ(image_count, IMAGE_TABLE_SIZE - ATLAS_IMAGE_COUNT + 1);
    image_count = 0;
    texture_slot_count = TEXTURE_SLOT_COUNT;
    EXPECT_EQ(atlas_load("", png.data(), png.size(), atlas_images), -1);
    EXPECT_EQ(image_count, 0);
    EXPECT_EQ(virtual_gl().tex_image_calls, 0);

    // Exactly enough room still loads.
    texture_slot_count = TEXTURE_SLOT_COUNT - 1;
    image_count = IMAGE_TABLE_SIZE - ATLAS_IMAGE_COUNT;
    EXPECT_EQ(atlas_load("", png.data(), png.size(), atlas_images), TEXTURE_SLOT_COUNT - 1);
    EXPECT_EQ(image_count, IMAGE_TABLE_SIZE);
    EXPECT_EQ(image_table[IMAGE_TABLE_SIZE - 1].texture_slot, TEXTURE_SLOT_COUNT - 1);
}

} // namespace
