// Loading levels onto the live board: players shown and hidden, tiles and their images.
#include "engine/image_table.h"
#include "game_fixture.h"

namespace {

using Board = GameTest;

TEST_F(Board, TwoPlayerLoadAfterAFourPlayerGameHidesPlayersThreeAndFour) {
    click(players_key(4));
    play_until_first_step();
    harness_tick(200);
    scores_set_player_count(2);
    level_load();
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        EXPECT_EQ(player_sprite(slot).visible, slot < 2) << "player " << slot + 1;
}

TEST_F(Board, EveryTileShowsItsKindAndHolesShowNothing) {
    struct Case {
        int32_t level;
        int32_t col, row;
        const char* image; // null: a hole, no image at all
    };
    for (const Case& c : {Case{0, 0, 0, nullptr}, Case{0, 1, 1, nullptr}, Case{0, 2, 1, "tile005.png"},
                          Case{0, 3, 2, "tile001.png"}, Case{1, 0, 0, "tile004.png"},
                          Case{1, 2, 0, "tile002.png"}, Case{6, 5, 2, "tile003.png"}}) {
        current_level = c.level;
        level_load();
        const Sprite& s = harness_tile_sprite(c.col, c.row);
        EXPECT_EQ(s.visible, 1);
        EXPECT_EQ(s.scale, BOARD_SCALE);
        if (c.image)
            EXPECT_EQ(s.image, image_find(c.image)) << c.level << ": " << c.col << "," << c.row;
        else
            EXPECT_EQ(image_at(s.image), nullptr) << c.level << ": " << c.col << "," << c.row;
    }
    current_level = 7;
    level_load();
    for (int32_t i = 0; i < BOARD_TILES; ++i)
        ASSERT_EQ(sprite_pool[board_first_sprite + i].image, image_find("tile005.png"));
}

TEST_F(Board, LoadingAgainErasesTheWearAndKeepsTheScores) {
    players[0].score = 3;
    players[1].score = 5;
    const TileGrid fresh = tile_grid;
    play_until_first_step();
    next_step();
    ASSERT_NE(tile_grid, fresh);
    level_load();
    EXPECT_EQ(tile_grid, fresh);
    EXPECT_EQ(harness_tile_sprite(3, 2).image, image_find("tile001.png"));
    EXPECT_EQ(players[0].score, 3);
    EXPECT_EQ(players[1].score, 5);
}

} // namespace
