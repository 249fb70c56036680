#include "assets/embedded.h"
#include "engine/layout_records.h"
#include "engine_fixture.h"

#include <bit>
#include <cstring>
#include <string>

namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void image_record(std::vector<uint8_t>& out, const std::string& name) {
    out.push_back(LAYOUT_IMAGE);
    for (size_t i = 0; i < 32; ++i)
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

void placement(std::vector<uint8_t>& out, int32_t x, int32_t y, float scale, float rotation,
               uint8_t type = 2) {
    out.push_back(type);
    put_u32(out, static_cast<uint32_t>(x));
    put_u32(out, static_cast<uint32_t>(y));
    put_u32(out, std::bit_cast<uint32_t>(scale));
    put_u32(out, std::bit_cast<uint32_t>(rotation));
    out.insert(out.end(), 16, 0xa5); // filler is not ours to read
}

class LayoutTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        load_start_up_atlas();
    }
};

TEST_F(LayoutTest, ImageRecordAppliesToTheFollowingPlacements) {
    std::vector<uint8_t> data;
    image_record(data, "tile005.png");
    placement(data, 75, 100, 0.4f, 0.0f);
    placement(data, -3, 400, 2.5f, -90.0f);
    ASSERT_EQ(data.size(), 99u);
    sprite_count = 10;
    sprite_pool[11].visible = 0; // stale contents must be overwritten
    layout_read(data);
    ASSERT_EQ(sprite_count, 12);
    const Sprite& a = sprite_pool[10];
    const Sprite& b = sprite_pool[11];
    EXPECT_EQ(a.used, 1);
    EXPECT_EQ(a.visible, 1);
    EXPECT_EQ(a.image, 9);
    EXPECT_EQ(a.x, 75);
    EXPECT_EQ(a.y, 100);
    EXPECT_EQ(a.scale, 0.4f);
    EXPECT_EQ(a.rotation, 0.0f);
    EXPECT_EQ(b.visible, 1);
    EXPECT_EQ(b.image, 9);
    EXPECT_EQ(b.x, -3);
    EXPECT_EQ(b.y, 400);
    EXPECT_EQ(b.scale, 2.5f);
    EXPECT_EQ(b.rotation, -90.0f);
}

TEST_F(LayoutTest, ShortStreamsAndTailsCreateNothing) {
    std::vector<uint8_t> data;
    placement(data, 1, 2, 1.0f, 0.0f);
    layout_read({data.data(), 32});
    layout_read({data.data(), 0});
    EXPECT_EQ(sprite_count, 0);

    // 100 bytes: three records, the last byte (a placement type) ignored.
    std::vector<uint8_t> hundred;
    image_record(hundred, "player001.png");
    placement(hundred, 1, 2, 1.0f, 0.0f);
    placement(hundred, 3, 4, 1.0f, 0.0f);
    hundred.push_back(LAYOUT_PLACEMENT);
    layout_read(hundred);
    EXPECT_EQ(sprite_count, 2);
    EXPECT_EQ(sprite_pool[1].image, 14);
}

TEST_F(LayoutTest, PlacementsBeforeAnyImageUseTheAtlasEntryAndUnknownNamesGiveMinusOne) {
    std::vector<uint8_t> data;
    placement(data, 1, 1, 1.0f, 0.0f);
    image_record(data, "abc.png");
    placement(data, 2, 2, 1.0f, 0.0f);
    placement(data, 9, 9, 1.0f, 0.0f, 7); // unknown type: skipped
    image_record(data, "scorepin.png");
    placement(data, 3, 3, 1.0f, 0.0f, 0); // type 0: skipped too
    placement(data, 4, 4, 1.0f, 0.0f);
    layout_read(data);
    ASSERT_EQ(sprite_count, 3);
    EXPECT_EQ(sprite_pool[0].image, 0);
    EXPECT_EQ(sprite_pool[1].image, -1);
    EXPECT_EQ(sprite_pool[2].image, 42);
    EXPECT_EQ(sprite_pool[2].x, 4);
}

TEST_F(LayoutTest, NameFieldCountsOnlyItsFirst31Characters) {
    const std::string name31(31, 'q');
    const int32_t entry = image_new();
    std::memcpy(image_table[entry].name, name31.c_str(), 32);
    std::vector<uint8_t> data;
    image_record(data, name31 + "Z"); // 32 characters, no NUL in the field
    placement(data, 0, 0, 1.0f, 0.0f);
    layout_read(data);
    EXPECT_EQ(sprite_pool[0].image, entry);

    // Bytes after the first NUL do not count either.
    std::vector<uint8_t> padded;
    image_record(padded, std::string("tile005.png") + '\0' + "junk");
    placement(padded, 0, 0, 1.0f, 0.0f);
    layout_read(padded);
    EXPECT_EQ(sprite_pool[1].image, 9);
}

TEST_F(LayoutTest, FullPoolDropsTheRemainingPlacements) {
    std::vector<uint8_t> data;
    image_record(data, "tile005.png");
    for (int i = 0; i < 5; ++i)
        placement(data, i, i, 1.0f, 0.0f);
    sprite_count = SPRITE_POOL_SIZE - 2;
    layout_read(data);
    EXPECT_EQ(sprite_count, SPRITE_POOL_SIZE);
    EXPECT_EQ(sprite_pool[SPRITE_POOL_SIZE - 1].x, 1);
}

// The game's own title layout, once it is embedded.
TEST_F(LayoutTest, StoredTitleLayoutAdds158TileSprites) {
    const EmbeddedAsset* logo = embedded_asset_find("logo_layout.bin");
    if (!logo) GTEST_SKIP() << "the title layout is not embedded yet";
    ASSERT_EQ(logo->size, 5247u);
    sprite_count = 137;
    layout_read({logo->data, logo->size});
    EXPECT_EQ(sprite_count, 137 + 158);
    for (int i = 137; i < sprite_count; ++i) {
        const Sprite& s = sprite_pool[i];
        EXPECT_EQ(s.image, 9);
        EXPECT_EQ(s.scale, 0.4f);
        EXPECT_EQ(s.rotation, 0.0f);
        EXPECT_TRUE(s.x >= 31 && s.x <= 541 && s.y >= 65 && s.y <= 337) << i;
    }
    EXPECT_EQ(sprite_pool[137].x, 75);
    EXPECT_EQ(sprite_pool[137].y, 100);
}

} // namespace
