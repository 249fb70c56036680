// The program carries every committed data file byte for byte, findable by its file name.
#include "asset_file.h"
#include "assets/embedded.h"

#include <gtest/gtest.h>

#include <span>

namespace {

const char* const embedded_names[] = {"level_table.bin", "logo_layout.bin", "tic.raw",   "bounce.raw",
                                      "death.raw",       "winner.raw",      "atlas.png", "song.xm"};

TEST(Embedding, EveryFileIsCarriedUnchanged) {
    for (const char* name : embedded_names) {
        SCOPED_TRACE(name);
        const EmbeddedAsset* asset = embedded_asset_find(name);
        ASSERT_NE(asset, nullptr);
        const std::vector<uint8_t> committed = read_asset_file(name);
        ASSERT_FALSE(committed.empty());
        ASSERT_EQ(asset->size, committed.size());
        EXPECT_TRUE(std::ranges::equal(std::span(asset->data, asset->size), committed));
    }
}

TEST(Embedding, LookupIsByExactName) {
    EXPECT_EQ(embedded_asset_find("level_table"), nullptr);
    EXPECT_EQ(embedded_asset_find("LEVEL_TABLE.BIN"), nullptr);
    EXPECT_EQ(embedded_asset_find(""), nullptr);
    EXPECT_EQ(embedded_asset_find(nullptr), nullptr);
}

} // namespace
