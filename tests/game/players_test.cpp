// The turn rule, the rotation easing, and what one step does: moves, bounces, falls, sounds.
#include "engine/image_table.h"
#include "game/key_codes.h"
#include "game/tweens.h"
#include "game_fixture.h"

#include <string>
#include <vector>

namespace {

using Players = GameTest;

TEST_F(Players, TurnsStayWithinAQuarterOfTheLastStepsFacing) {
    struct Case {
        int32_t prev_facing;
        std::vector<int32_t> keys; // player 1: Q left, W right
        int32_t facing;
    };
    for (const Case& c :
         {Case{FACING_LEFT, {KEY_W, KEY_Q}, FACING_LEFT}, Case{FACING_UP, {KEY_Q, KEY_W}, FACING_UP},
          Case{FACING_UP, {KEY_Q, KEY_Q}, FACING_LEFT}, Case{FACING_UP, {KEY_W, KEY_W}, FACING_RIGHT},
          Case{FACING_RIGHT, {KEY_W, KEY_Q, KEY_Q}, FACING_UP}}) {
        play_until_first_step();
        player_place(0, 6, 5, c.prev_facing);
        for (int32_t key : c.keys)
            harness_press(key);
        harness_tick();
        EXPECT_EQ(players[0].facing, c.facing)
            << "from " << c.prev_facing << ", " << c.keys.size() << " presses";
        harness_start();
        harness_enter_gameplay();
    }
}

TEST_F(Players, TurnInTheCountdownIsTakenByTheFirstStep) {
    harness_press(ANY_KEY);
    harness_tick(10);
    harness_press(KEY_W); // player 1 starts at (3, 2) facing down: now left
    harness_tick();
    EXPECT_EQ(players[0].facing, FACING_LEFT);
    harness_tick(COUNTDOWN_END - 10);
    ASSERT_EQ(game_state, STATE_PLAYING);
    EXPECT_EQ(players[0].col, 2);
    EXPECT_EQ(players[0].row, 2);
}

TEST_F(Players, RotationEasesAcrossNorthTheShortWay) {
    struct Case {
        int32_t from;
        int32_t key;
        std::vector<float> rotations; // tick by tick after the press
    };
    const std::vector<float> clockwise = {280, 290, 300, 310, 320, 330, 340, 350, 360, 10, 0, 0};
    const std::vector<float> back = {350, 340, 330, 320, 310, 300, 290, 280, 270, 270};
    for (const Case& c : {Case{FACING_LEFT, KEY_W, clockwise}, Case{FACING_UP, KEY_Q, back}}) {
        harness_press(ANY_KEY);
        harness_tick(); // the countdown has no step for a while
        player_place(0, 6, 5, c.from);
        harness_press(c.key);
        for (float r : c.rotations) {
            harness_tick();
            EXPECT_EQ(player_sprite(0).rotation, r) << "from facing " << c.from;
        }
        harness_start();
        harness_enter_gameplay();
    }
}

struct StepCase {
    std::string what;
    std::vector<std::vector<int32_t>> players; // col, row, facing
    std::vector<std::vector<int32_t>> tiles;   // col, row, kind on a solid board
    std::vector<std::string> heard;
    std::vector<int32_t> alive;
    std::vector<std::vector<int32_t>> cells; // col, row after the step
};

TEST_F(Players, OneStepMovesBouncesAndDropsPlayers) {
    const std::vector<StepCase> cases = {
        {"quiet step", {{1, 1, FACING_RIGHT}, {8, 8, FACING_UP}}, {}, {"tic"}, {1, 1}, {{2, 1}, {8, 7}}},
        {"swap", {{4, 4, FACING_RIGHT}, {5, 4, FACING_LEFT}}, {}, {"bounce"}, {1, 1}, {{4, 4}, {5, 4}}},
        {"same cell",
         {{4, 4, FACING_RIGHT}, {6, 4, FACING_LEFT}, {9, 9, FACING_UP}},
         {},
         {"bounce"},
         {1, 1, 1},
         {{4, 4}, {6, 4}, {9, 8}}},
        {"bounce into a broken tile",
         {{4, 4, FACING_RIGHT}, {5, 4, FACING_LEFT}, {9, 9, FACING_UP}},
         {{4, 4, TILE_FRAGILE}},
         {"death"},
         {0, 1, 1},
         {{4, 4}, {5, 4}, {9, 8}}},
        {"off the edge",
         {{0, 3, FACING_LEFT}, {5, 5, FACING_UP}, {9, 9, FACING_UP}},
         {},
         {"death"},
         {0, 1, 1},
         {{-1, 3}, {5, 4}, {9, 8}}},
        {"into a hole",
         {{3, 3, FACING_DOWN}, {5, 5, FACING_UP}, {9, 9, FACING_UP}},
         {{3, 4, TILE_HOLE}},
         {"death"},
         {0, 1, 1},
         {{3, 4}, {5, 4}, {9, 8}}},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.what);
        scores_set_player_count(static_cast<int32_t>(c.players.size()));
        level_load();
        play_until_first_step();
        board_fill(TILE_SOLID);
        for (const auto& t : c.tiles)
            tile_set(t[0], t[1], static_cast<uint8_t>(t[2]));
        for (size_t p = 0; p < c.players.size(); ++p)
            player_place(static_cast<int32_t>(p), c.players[p][0], c.players[p][1], c.players[p][2]);
        harness_effects_clear();
        next_step();
        EXPECT_EQ(harness_effect_names(), c.heard);
        for (size_t p = 0; p < c.players.size(); ++p) {
            EXPECT_EQ(players[p].alive, c.alive[p]) << "player " << p + 1;
            EXPECT_EQ(players[p].col, c.cells[p][0]) << "player " << p + 1;
            EXPECT_EQ(players[p].row, c.cells[p][1]) << "player " << p + 1;
        }
        EXPECT_EQ(game_state, STATE_PLAYING);
        harness_start();
        harness_enter_gameplay();
    }
}

// The fall's sprite keeps sliding one whole cell beyond the edge while it shrinks, and is
// hidden in the tween's last tick.
TEST_F(Players, FallingOffTheEdgeSlidesOutShrinkingThenHides) {
    scores_set_player_count(3);
    play_until_first_step();
    board_fill(TILE_SOLID);
    player_place(0, 0, 3, FACING_LEFT);
    player_place(1, 5, 5, FACING_UP);
    player_place(2, 9, 9, FACING_UP);
    next_step();
    const Sprite& s = player_sprite(0);
    EXPECT_EQ(s.visible, 1);
    harness_tick(10);
    EXPECT_LT(s.scale, BOARD_SCALE);
    EXPECT_EQ(s.visible, 1);
    harness_tick(9);
    EXPECT_EQ(s.visible, 1);
    harness_tick();
    EXPECT_EQ(s.visible, 0);
    EXPECT_NEAR(s.scale, 0.16f, 0.01f);
    // Centred on the cell left of the board: (0, 3 x 40 + 40) plus half the 64-pixel image at 0.6.
    EXPECT_NEAR(s.x + s.scale * 32, 0 + 0.6f * 32, 1.0f);
    EXPECT_NEAR(s.y + s.scale * 32, 160 + 0.6f * 32, 1.0f);
}

TEST_F(Players, LastTwoFallingTogetherEndTheGameWithoutAWinner) {
    play_until_first_step();
    board_fill(TILE_SOLID);
    player_place(0, 0, 3, FACING_LEFT);
    player_place(1, 12, 3, FACING_RIGHT);
    harness_effects_clear();
    next_step();
    const int32_t decided = frame_count;
    EXPECT_EQ(harness_effect_names(), std::vector<std::string>{"death"});
    EXPECT_EQ(players[0].score + players[1].score, 0);
    harness_tick(117);
    EXPECT_EQ(game_state, STATE_OVER + 118);
    harness_tick();
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_EQ(frame_count - decided, 118);
    EXPECT_EQ(harness_effect_names(), std::vector<std::string>{"death"}); // the wait is silent
}

TEST_F(Players, DuringTheWaitOnlyTheMouseTurnsPlayerThree) {
    scores_set_player_count(3);
    play_until_first_step();
    win_next_step(2);
    ASSERT_GE(game_state, STATE_OVER);
    const int32_t facing_1 = players[0].facing, facing_3 = players[2].facing;
    harness_press(KEY_Q);
    harness_press(KEY_LEFT);
    harness_click(10, 10, 1);
    harness_tick();
    EXPECT_EQ(players[0].facing, facing_1);
    EXPECT_EQ(players[2].facing, (facing_3 + 1) % FACINGS);
    harness_tick(9);
    EXPECT_EQ(player_sprite(2).rotation, 90.0f); // eased from up to right
}

} // namespace
