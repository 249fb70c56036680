// The title layout: one image record for the fragile tile, then the tiles of the two lettered lines.
#include "assets/embedded_arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>

namespace {

constexpr size_t RECORD = 33;
constexpr size_t RECORDS = 159;

struct Placement {
    int32_t x, y;
    float scale, rotation;
};

const uint8_t* record(size_t i) {
    return asset_logo_layout_bin + i * RECORD;
}

Placement placement(size_t i) {
    Placement p;
    std::memcpy(&p, record(i) + 1, sizeof p); // little-endian fields, as on every target we build for
    return p;
}

bool within(const Placement& p, int x0, int x1, int y0, int y1) {
    return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1;
}

TEST(LogoLayout, OneImageRecordNamingTheFragileTile) {
    static_assert(sizeof(asset_logo_layout_bin) == RECORDS * RECORD);
    ASSERT_EQ(record(0)[0], 1);
    char name[32];
    std::memcpy(name, record(0) + 1, sizeof name);
    EXPECT_STREQ(name, "tile005.png"); // also proves the name is NUL-terminated within its field
    for (size_t i = std::strlen("tile005.png"); i < sizeof name; ++i)
        EXPECT_EQ(name[i], 0) << "padding byte " << i;
}

TEST(LogoLayout, TilesSpellTwoLinesInsideTheirAreas) {
    int name_tiles = 0, year_tiles = 0;
    std::set<std::pair<int, int>> positions;
    for (size_t i = 1; i < RECORDS; ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        ASSERT_EQ(record(i)[0], 2);
        const Placement p = placement(i);
        EXPECT_EQ(p.scale, 0.4f);
        EXPECT_EQ(p.rotation, 0.0f);
        EXPECT_FALSE(std::signbit(p.rotation));
        if (within(p, 31, 541, 65, 185))
            ++name_tiles;
        else if (within(p, 109, 410, 243, 337))
            ++year_tiles;
        else
            ADD_FAILURE() << "tile at (" << p.x << ", " << p.y << ") lies outside both lines";
        EXPECT_TRUE(positions.insert({p.x, p.y}).second) << "two tiles at (" << p.x << ", " << p.y << ")";
    }
    EXPECT_EQ(name_tiles + year_tiles, 158);
    // Seven letters against four digits: both lines carry a fair share of the tiles.
    EXPECT_GT(name_tiles, 90);
    EXPECT_GT(year_tiles, 35);
}

TEST(LogoLayout, FirstTileSitsOnTheQ) {
    EXPECT_EQ(placement(1).x, 75);
    EXPECT_EQ(placement(1).y, 100);
}

} // namespace
