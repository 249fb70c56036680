// Shared set-up of the game's tests: the harness started and the gameplay scene entered (the
// menu over level 0, two players), and the few moves every test makes.
#pragma once
#include "engine/frame_state.h"
#include "engine/sprite_pool.h"
#include "game/board.h"
#include "game/players.h"
#include "game/rounds.h"
#include "game/scores.h"
#include "game_harness.h"

#include <gtest/gtest.h>

// Screen points inside the menu's keys.
struct Point {
    int32_t x, y;
};
constexpr Point START_KEY{299, 300}, PREVIOUS_LEVEL_KEY{285, 266}, NEXT_LEVEL_KEY{311, 266};
constexpr Point MUSIC_SWITCH{289, 456}, EFFECTS_SWITCH{315, 456};
constexpr Point players_key(int32_t n) {
    return {228 + 25 * n, 208};
}
// The middle of a slot's controls picture beside the score panel.
constexpr Point controls_picture(int32_t slot) {
    return {580, 156 + 60 * slot};
}

constexpr int32_t ANY_KEY = 'S';

class GameTest : public testing::Test {
  protected:
    void SetUp() override {
        harness_start();
        harness_enter_gameplay();
    }
    void TearDown() override { harness_stop(); }

    static void click(Point p, int32_t button = 0) {
        harness_click(p.x, p.y, button);
        harness_tick();
    }

    // From the menu through the countdown, to the tick of the first step.
    static void play_until_first_step() {
        harness_press(ANY_KEY);
        harness_tick();
        harness_tick(COUNTDOWN_END);
    }

    static void next_step() { harness_tick(step_period); }

    // Any press but Escape in the credits: back to the game, whose update runs in that tick.
    static void leave_credits() {
        harness_press(ANY_KEY);
        harness_tick();
    }

    // A board of one kind, so a test places its players where it wants.
    static void board_fill(uint8_t kind) {
        tile_grid.fill(kind);
        for (int32_t i = 0; i < BOARD_TILES; ++i)
            tile_refresh(i);
    }

    static void tile_set(int32_t col, int32_t row, uint8_t kind) {
        tile_grid[tile_index(col, row)] = kind;
        tile_refresh(tile_index(col, row));
    }

    static void player_place(int32_t slot, int32_t col, int32_t row, int32_t facing) {
        PlayerState& p = players[slot];
        p.col = col;
        p.row = row;
        p.facing = p.prev_facing = facing;
        p.alive = 1;
        Sprite& s = player_sprite(slot);
        s.x = cell_x(col);
        s.y = cell_y(row);
        s.rotation = 90.0f * static_cast<float>(facing);
    }

    // Plays a game where the last player's neighbour walks off the board at the next step:
    // winner is the slot left standing.
    static void win_next_step(int32_t winner) {
        board_fill(TILE_SOLID);
        for (int32_t slot = 0; slot < player_count; ++slot) {
            if (slot == winner)
                player_place(slot, 6, 5, FACING_UP);
            else
                player_place(slot, 0, 2 * slot, FACING_LEFT);
        }
        next_step();
    }
};
