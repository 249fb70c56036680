// The computer players at the board: in each situation the computer, player 1, at each strength,
// decides before the next step as it plays, and must come through it when a turn the rule allows
// would; at the normal and hard strengths it takes the way that lives longer when two are safe.
#include "game/computer_players.h"
#include "game_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ComputerPlayers = GameTest;

struct Situation {
    std::string what;
    std::vector<std::vector<int32_t>> players; // col, row, facing; the computer first
    std::vector<std::vector<int32_t>> tiles;   // col, row, kind on a solid board
    std::vector<std::vector<int32_t>> cells;   // where the computer may be after the step
    bool looks_ahead = false;                  // only a computer looking past the next step sees it
};

TEST_F(ComputerPlayers, ComesThroughTheNextStepWhenATurnAllowsAndTakesTheLongerLivedWay) {
    const std::vector<int32_t> far_away = {0, 9, FACING_RIGHT};
    const std::vector<Situation> situations = {
        {"hole ahead", {{6, 5, FACING_UP}, far_away}, {{6, 4, TILE_HOLE}}, {{5, 5}, {7, 5}}},
        {"edge ahead", {{12, 5, FACING_RIGHT}, far_away}, {}, {{12, 4}, {12, 6}}},
        {"corner: only left", {{12, 0, FACING_UP}, far_away}, {}, {{11, 0}}},
        {"hole ahead and on the left",
         {{6, 5, FACING_UP}, far_away},
         {{6, 4, TILE_HOLE}, {5, 5, TILE_HOLE}},
         {{7, 5}}},
        {"the tile another leaves breaks",
         {{6, 5, FACING_UP}, {6, 4, FACING_UP}},
         {{6, 4, TILE_FRAGILE}},
         {{5, 5}, {7, 5}}},
        {"a bounce would drop it into its own broken tile",
         {{6, 5, FACING_UP}, {6, 3, FACING_DOWN}},
         {{6, 5, TILE_FRAGILE}},
         {{5, 5}, {7, 5}}},
        {"head on with one whose tile breaks: it will turn away from the hole it leaves",
         {{6, 5, FACING_UP}, {6, 4, FACING_DOWN}},
         {{6, 4, TILE_FRAGILE}},
         {{5, 5}, {7, 5}}},
        {"left is a dead end, right is open",
         {{6, 5, FACING_UP}, far_away},
         {{6, 4, TILE_HOLE}, {5, 5, TILE_WHOLE}, {4, 5, TILE_HOLE}, {5, 4, TILE_HOLE}, {5, 6, TILE_HOLE}},
         {{7, 5}},
         true},
        {"straight on runs into a pocket, right does not",
         {{6, 5, FACING_UP}, far_away},
         {{5, 5, TILE_HOLE}, {6, 3, TILE_HOLE}, {5, 4, TILE_HOLE}, {7, 4, TILE_HOLE}},
         {{7, 5}},
         true},
    };
    // Each from a few starting ticks, so the computer's seed, and with it its hunches, differ.
    constexpr int32_t SEEDS = 8;
    for (int32_t strength = COMPUTER_EASY; strength <= COMPUTER_HARD; ++strength) {
        for (int32_t seed = 0; seed < SEEDS * static_cast<int32_t>(situations.size()); ++seed) {
            const Situation& s = situations[static_cast<size_t>(seed / SEEDS)];
            if (s.looks_ahead && strength == COMPUTER_EASY) continue;
            SCOPED_TRACE(s.what + ", seed " + std::to_string(seed % SEEDS) + ", strength " +
                         std::to_string(strength));
            for (int32_t clicks = 0; clicks < strength; ++clicks)
                click(controls_picture(0));
            ASSERT_EQ(computer_slots[0], strength);
            harness_tick(1 + seed % SEEDS);
            play_until_first_step();
            board_fill(TILE_SOLID);
            for (const auto& t : s.tiles)
                tile_set(t[0], t[1], static_cast<uint8_t>(t[2]));
            for (size_t p = 0; p < s.players.size(); ++p)
                player_place(static_cast<int32_t>(p), s.players[p][0], s.players[p][1], s.players[p][2]);
            next_step();
            EXPECT_EQ(players[0].alive, 1);
            const std::vector<int32_t> cell = {players[0].col, players[0].row};
            EXPECT_NE(std::find(s.cells.begin(), s.cells.end(), cell), s.cells.end())
                << "at " << cell[0] << "," << cell[1];
            harness_start();
            harness_enter_gameplay();
        }
    }
}

} // namespace
