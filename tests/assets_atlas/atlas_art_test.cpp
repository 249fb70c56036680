// The painter library: pixel conversion, the stroke alphabet, fitted lettering, and the rule
// that every painting stays inside its packed rectangle.
#include "art.h"
#include "atlas_build.h"
#include "glyphs.h"
#include "paint.h"
#include "pixels.h"

#include "assets/atlas_images.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Pixels, ClearTexelsBecomeAllZeroAndOpaqueOnesKeepTheirColour) {
    const Rgba clear = straight_rgba(0x00000000);
    EXPECT_EQ(clear.r | clear.g | clear.b | clear.a, 0);
    const Rgba opaque = straight_rgba(0xFF102030);
    EXPECT_EQ(opaque.r, 0x10);
    EXPECT_EQ(opaque.g, 0x20);
    EXPECT_EQ(opaque.b, 0x30);
    EXPECT_EQ(opaque.a, 0xFF);
    // Half-covered white is stored premultiplied as 128 of 128: straight it is white again.
    const Rgba half = straight_rgba(0x80808080);
    EXPECT_EQ(half.r, 255);
    EXPECT_EQ(half.a, 128);
}

TEST(Pixels, EveryPremultipliedValueSurvivesTheRoundTrip) {
    for (uint32_t a = 1; a < 256; ++a) {
        for (uint32_t c = 0; c <= a; ++c) {
            const uint32_t word = (a << 24) | (c << 16) | (c << 8) | c;
            ASSERT_EQ(premultiplied_argb(straight_rgba(word)), word) << "alpha " << a << " channel " << c;
        }
    }
}

TEST(Glyphs, AlphabetCoversLettersDigitsAndFoldsLowerCase) {
    for (char c = 'A'; c <= 'Z'; ++c)
        EXPECT_NE(glyph_find(c), nullptr) << c;
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_NE(glyph_find(c), nullptr) << c;
    for (char c : std::string(" .,:!?-+/()'<>&=#"))
        EXPECT_NE(glyph_find(c), nullptr) << c;
    EXPECT_EQ(glyph_find('q'), glyph_find('Q'));
    EXPECT_EQ(glyph_find('~'), nullptr);
    EXPECT_EQ(glyph_find('\0'), nullptr);
}

TEST(Glyphs, WidthAddsGlyphsAndGapsAndTreatsUnknownAsSpace) {
    EXPECT_EQ(text_units_width(""), 0);
    EXPECT_EQ(text_units_width("I"), glyph_find('I')->width);
    EXPECT_EQ(text_units_width("II"), 2 * glyph_find('I')->width + LETTER_GAP_UNITS);
    EXPECT_EQ(text_units_width("A~B"), text_units_width("A B"));
}

// Fitted lettering, outline included, stays inside its box whatever the box's shape.
TEST(Lettering, FittedTextStaysInsideItsBox) {
    struct Case {
        const char* text;
        double x, y, w, h;
    };
    const Lettering bold = {GOLD, INK, 2.0, 2.0, true};
    const Lettering thin = {INK, INK, 1.2, 0, false};
    for (const Case& c : {Case{"READY", 10, 6, 99, 26}, Case{"GO!", 39, 6, 51, 26}, Case{"W", 20, 20, 9, 40},
                          Case{"PROGRAMMING", 5, 5, 60, 30}, Case{"1", 7, 3, 5, 12}}) {
        for (const Lettering* style : {&bold, &thin}) {
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 128, 64);
            cairo_t* cr = cairo_create(surface);
            lettering_fit(cr, c.text, *style, c.x, c.y, c.w, c.h);
            cairo_destroy(cr);
            cairo_surface_flush(surface);
            const unsigned char* data = cairo_image_surface_get_data(surface);
            const int stride = cairo_image_surface_get_stride(surface);
            int outside = 0, inside = 0;
            for (int y = 0; y < 64; ++y) {
                for (int x = 0; x < 128; ++x) {
                    const bool covered = data[y * stride + x * 4 + 3] != 0;
                    const bool in_box = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                    (in_box ? inside : outside) += covered;
                }
            }
            cairo_surface_destroy(surface);
            EXPECT_EQ(outside, 0) << c.text;
            EXPECT_GT(inside, 0) << c.text;
        }
    }
}

TEST(Painters, EveryImageHasOneAndItStaysInsideThePackedRectangle) {
    for (const ImageRecord& r : atlas_images) {
        SCOPED_TRACE(r.name);
        ASSERT_NE(art_find(r.name), nullptr);
        const FullImage image = render_full_image(r);
        ASSERT_EQ(image.width, r.width);
        ASSERT_EQ(image.height, r.height);
        EXPECT_EQ(texels_outside_packed(image, r), 0);
    }
    EXPECT_EQ(art_find("abc.png"), nullptr);
}

TEST(Painters, TheAtlasComesOutTheSameEveryTime) {
    std::string error;
    const std::vector<uint8_t> first = atlas_compose(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::vector<uint8_t> second = atlas_compose(error);
    ASSERT_EQ(first.size(), static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE * 4);
    EXPECT_TRUE(first == second);
}

} // namespace
