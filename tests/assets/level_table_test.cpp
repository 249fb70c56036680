// The stored boards: shape of the table, legal tile kinds, and start cells a game can begin on.
#include "assets/embedded_arrays.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

namespace {

constexpr int COLUMNS = 13;
constexpr int ROWS = 10;
constexpr int LEVELS = 17;
constexpr int RECORD = 142;
constexpr int STARTS = COLUMNS * ROWS;

std::span<const uint8_t, RECORD> level(int l) {
    return std::span(asset_level_table_bin).subspan(static_cast<size_t>(l) * RECORD).first<RECORD>();
}

std::string row(int l, int r) {
    std::string s;
    for (int c = 0; c < COLUMNS; ++c)
        s += static_cast<char>('0' + level(l)[r * COLUMNS + c]);
    return s;
}

TEST(LevelTable, HoldsSeventeenBoardsOfLegalTiles) {
    static_assert(sizeof(asset_level_table_bin) == LEVELS * RECORD);
    for (int l = 0; l < LEVELS; ++l)
        for (int i = 0; i < STARTS; ++i)
            EXPECT_LE(level(l)[i], 5) << "level " << l << " tile " << i;
}

TEST(LevelTable, EveryPlayerStartsOnItsOwnStandingTile) {
    for (int l = 0; l < LEVELS; ++l) {
        std::set<int> cells;
        for (int p = 0; p < 4; ++p) {
            SCOPED_TRACE("level " + std::to_string(l) + " player " + std::to_string(p + 1));
            const int column = level(l)[STARTS + 3 * p];
            const int row_ = level(l)[STARTS + 3 * p + 1];
            const int facing = level(l)[STARTS + 3 * p + 2];
            ASSERT_LT(column, COLUMNS);
            ASSERT_LT(row_, ROWS);
            EXPECT_LT(facing, 4);
            EXPECT_NE(level(l)[row_ * COLUMNS + column], 0) << "starts on a hole";
            EXPECT_TRUE(cells.insert(row_ * COLUMNS + column).second) << "shares a start cell";
        }
    }
}

TEST(LevelTable, SpotChecksOfRowsAndStarts) {
    EXPECT_EQ(row(0, 0), "0000000000000");
    EXPECT_EQ(row(0, 1), "0055555555500");
    EXPECT_EQ(row(1, 4), "5500343430055");
    EXPECT_EQ(row(5, 2), "3300022205033"); // one of the few rows that breaks the mirror
    EXPECT_EQ(row(13, 1), "0035004400530");
    EXPECT_EQ(row(16, 0), "5212525252525");
    EXPECT_EQ(row(16, 8), "5252521252525");
    for (int r = 0; r < ROWS; ++r)
        EXPECT_EQ(row(7, r), "5555555555555");

    // Level 1 starts the players back to back on the solid middle; level 10 mixes all four facings.
    const uint8_t level1[] = {5, 4, 0, 5, 5, 2, 7, 4, 0, 7, 5, 2};
    EXPECT_TRUE(std::ranges::equal(level(1).subspan<STARTS>(), level1));
    const uint8_t level10[] = {0, 4, 1, 5, 9, 0, 11, 5, 3, 6, 0, 2};
    EXPECT_TRUE(std::ranges::equal(level(10).subspan<STARTS>(), level10));
    EXPECT_EQ(level(16)[RECORD - 1], 2); // the last byte of the table
}

} // namespace
