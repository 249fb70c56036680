// The menu's keys as the player sees them must be where the game listens for clicks. The
// click areas below are the game's, in screen pixels; the menu images are drawn at scale 1,
// "menubg.png" and "menutext.png" at (245, 157), "soundmenu.png" and its icons at (270, 440).
#include "atlas_test_support.h"

#include <gtest/gtest.h>

namespace {

struct Area {
    const char* what;
    int x0, y0, x1, y1; // inclusive
};

constexpr Area MENU_AREAS[] = {{"2 players", 267, 197, 289, 219},  {"3 players", 292, 197, 314, 219},
                               {"4 players", 317, 197, 339, 219},  {"previous level", 275, 259, 296, 273},
                               {"next level", 302, 259, 321, 273}, {"start", 268, 289, 330, 311}};
constexpr Area SOUND_AREAS[] = {{"music", 278, 445, 300, 467}, {"effects", 304, 445, 326, 467}};

// Straight-alpha texel of an image at a screen point, the image's full box at (ix, iy).
struct Probe {
    const DecodedAtlas& atlas;
    const ImageRecord& r;
    int ix, iy;

    const unsigned char* at(int sx, int sy) const {
        const int x = sx - ix - r.offset_x, y = sy - iy - r.offset_y;
        static const unsigned char clear[4] = {0, 0, 0, 0};
        if (x < 0 || y < 0 || x >= r.packed_width || y >= r.packed_height) return clear;
        return atlas.texel(r.atlas_x + x, r.atlas_y + y);
    }
    double lightness(int sx, int sy) const {
        const unsigned char* t = at(sx, sy);
        return t[3] < 200 ? -1 : 0.299 * t[0] + 0.587 * t[1] + 0.114 * t[2];
    }
};

constexpr double DARK = 90, LIGHT = 150;

// The key's dark outline runs just outside the area's top and left edges and along its last
// row and column, with light face or panel on the other side of each line.
void expect_outline_traces(const Probe& p, const Area& a) {
    SCOPED_TRACE(a.what);
    const int mx = (a.x0 + a.x1) / 2, my = (a.y0 + a.y1) / 2;
    EXPECT_LT(p.lightness(a.x0 - 1, my), DARK);
    EXPECT_GT(p.lightness(a.x0, my), LIGHT);
    EXPECT_GT(p.lightness(a.x0 - 2, my), LIGHT);
    EXPECT_LT(p.lightness(a.x1, my), DARK);
    EXPECT_GT(p.lightness(a.x1 + 1, my), LIGHT);
    EXPECT_LT(p.lightness(mx, a.y0 - 1), DARK);
    EXPECT_GT(p.lightness(mx, a.y0 - 2), LIGHT);
    EXPECT_LT(p.lightness(mx, a.y1), DARK);
    EXPECT_GT(p.lightness(mx, a.y1 + 1), LIGHT);
}

// Some label or icon ink lies on the key, well inside its area.
void expect_label_on(const Probe& p, const Area& a) {
    int ink = 0;
    for (int y = a.y0 + 2; y < a.y1 - 2; ++y)
        for (int x = a.x0 + 2; x < a.x1 - 2; ++x)
            ink += p.at(x, y)[3] >= 128;
    EXPECT_GE(ink, 12) << a.what;
}

TEST(MenuKeys, PanelKeysTraceTheClickAreas) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    const Probe panel{atlas, record_named("menubg.png"), 245, 157};
    for (const Area& a : MENU_AREAS)
        expect_outline_traces(panel, a);
    const Probe sound{atlas, record_named("soundmenu.png"), 270, 440};
    for (const Area& a : SOUND_AREAS)
        expect_outline_traces(sound, a);
}

TEST(MenuKeys, EveryKeyCarriesItsLabel) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    const Probe labels{atlas, record_named("menutext.png"), 245, 157};
    for (const Area& a : MENU_AREAS)
        expect_label_on(labels, a);
    const Probe icons{atlas, record_named("soundmenutext.png"), 270, 440};
    for (const Area& a : SOUND_AREAS)
        expect_label_on(icons, a);
}

TEST(MenuKeys, MarkerCoversTheKeyFaceItLights) {
    const DecodedAtlas& atlas = committed_atlas();
    ASSERT_EQ(atlas.error, 0u);
    // The game puts the marker's top-left one pixel up and left of the area; the marker must be
    // solid there and over the face, and end before the key's raised side.
    const ImageRecord& marker = record_named("redbutton001.png");
    const Probe lamp{atlas, marker, 266, 196};
    const Probe panel{atlas, record_named("menubg.png"), 245, 157};
    EXPECT_LT(lamp.lightness(266, 207), DARK); // its own outline on the key's left outline
    EXPECT_LT(panel.lightness(266, 207), DARK);
    const unsigned char* middle = lamp.at(275, 207);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GT(middle[0], middle[1] + 80) << "the marker is red";
    EXPECT_LT(lamp.lightness(284, 207), DARK); // its right outline on the face's right outline
    EXPECT_LT(panel.lightness(284, 207), DARK);
}

} // namespace
