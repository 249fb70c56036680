// The committed atlas file: format, the packing rules the renderer relies on, and that every
// image actually has something in it.
#include "atlas_test_support.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

bool inside_packed(const ImageRecord& r, int x, int y) {
    return x >= r.atlas_x && x < r.atlas_x + r.packed_width && y >= r.atlas_y &&
           y < r.atlas_y + r.packed_height;
}

TEST(AtlasPng, IsA1024SquareEightBitRgbaPng) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u) << lodepng_error_text(atlas.error);
    EXPECT_EQ(atlas.width, 1024u);
    EXPECT_EQ(atlas.height, 1024u);
    EXPECT_EQ(atlas.rgba.size(), 1024u * 1024u * 4u);
    // IHDR follows the 8-byte signature and the chunk's length and type: bit depth at 24,
    // colour type at 25.
    ASSERT_GT(atlas.file.size(), 26u);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&atlas.file[12]), 4), "IHDR");
    EXPECT_EQ(atlas.file[24], 8);
    EXPECT_EQ(atlas.file[25], 6) << "colour type must be RGBA";
}

TEST(AtlasPng, EveryRectangleFitsWithItsMarginAndNoTwoShareTexels) {
    for (const ImageRecord& r : atlas_images) {
        SCOPED_TRACE(r.name);
        EXPECT_GE(r.atlas_x, 1);
        EXPECT_GE(r.atlas_y, 1);
        EXPECT_LE(r.atlas_x + r.packed_width + 1, ATLAS_SIZE);
        EXPECT_LE(r.atlas_y + r.packed_height + 1, ATLAS_SIZE);
        for (const ImageRecord& other : atlas_images) {
            if (&other == &r) continue;
            // Rectangles grown by their margin may touch but never overlap a neighbour's texels.
            const bool apart = r.atlas_x + r.packed_width + 1 <= other.atlas_x ||
                               other.atlas_x + other.packed_width + 1 <= r.atlas_x ||
                               r.atlas_y + r.packed_height + 1 <= other.atlas_y ||
                               other.atlas_y + other.packed_height + 1 <= r.atlas_y;
            EXPECT_TRUE(apart) << "overlaps " << other.name;
        }
    }
}

TEST(AtlasPng, EverythingOutsideTheRectanglesIsClearIncludingTheMargins) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    int stray = 0, dirty_clear = 0;
    for (int y = 0; y < ATLAS_SIZE; ++y) {
        for (int x = 0; x < ATLAS_SIZE; ++x) {
            const unsigned char* t = atlas.texel(x, y);
            bool covered = false;
            for (const ImageRecord& r : atlas_images)
                covered = covered || inside_packed(r, x, y);
            if (!covered && (t[0] | t[1] | t[2] | t[3]) != 0) ++stray;
            // Linear filtering blends in the colour of clear texels too, so they must be black.
            if (t[3] == 0 && (t[0] | t[1] | t[2]) != 0) ++dirty_clear;
        }
    }
    EXPECT_EQ(stray, 0) << "texels painted outside every packed rectangle";
    EXPECT_EQ(dirty_clear, 0) << "fully transparent texels with colour";
}

TEST(AtlasPng, EveryImageHasVisibleContentSpreadOverItsRectangle) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    for (const ImageRecord& r : atlas_images) {
        SCOPED_TRACE(r.name);
        int solid = 0;
        int min_x = r.packed_width, max_x = -1, min_y = r.packed_height, max_y = -1;
        for (int y = 0; y < r.packed_height; ++y) {
            for (int x = 0; x < r.packed_width; ++x) {
                if (atlas.texel(r.atlas_x + x, r.atlas_y + y)[3] < 128) continue;
                ++solid;
                min_x = std::min(min_x, x);
                max_x = std::max(max_x, x);
                min_y = std::min(min_y, y);
                max_y = std::max(max_y, y);
            }
        }
        EXPECT_GE(solid * 10, r.packed_width * r.packed_height)
            << "less than a tenth of the texels are solid";
        // Content that fills only a corner means a drawing placed for another rectangle.
        EXPECT_GE((max_x - min_x + 1) * 2, r.packed_width);
        EXPECT_GE((max_y - min_y + 1) * 2, r.packed_height);
    }
}

TEST(AtlasPng, PlayersDifferInColourAndLightness) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    // The body colour is read at the same point of every player (the middle of the body).
    const char* names[4] = {"player001.png", "player002.png", "player003.png", "player004.png"};
    double lightness[4];
    for (int i = 0; i < 4; ++i) {
        const ImageRecord& r = record_named(names[i]);
        const unsigned char* t = atlas.texel(r.atlas_x + 40 - r.offset_x, r.atlas_y + 36 - r.offset_y);
        ASSERT_EQ(t[3], 255) << names[i];
        lightness[i] = 0.299 * t[0] + 0.587 * t[1] + 0.114 * t[2];
    }
    // Without hue, players must still be told apart by lightness alone.
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_GE(std::abs(lightness[i] - lightness[j]), 25.0) << names[i] << " vs " << names[j];
}

TEST(AtlasPng, PlayersFaceUp) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    // Facing up means the leading point (the beak) is the topmost solid texel, on the centre
    // line, and nothing pokes out as high on the sides.
    for (const char* name : {"player001.png", "player002.png", "player003.png", "player004.png"}) {
        const ImageRecord& r = record_named(name);
        int top_y = -1, top_x = -1;
        for (int y = 0; y < r.packed_height && top_y < 0; ++y)
            for (int x = 0; x < r.packed_width; ++x)
                if (atlas.texel(r.atlas_x + x, r.atlas_y + y)[3] >= 128) {
                    top_y = y + r.offset_y;
                    top_x = x + r.offset_x;
                    break;
                }
        EXPECT_NEAR(top_x, 32, 2) << name;
        EXPECT_LT(top_y, 18) << name;
    }
}

} // namespace
