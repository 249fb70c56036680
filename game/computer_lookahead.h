// How a computer player weighs its next turn: from what the screen shows (the tiles, where each
// player stands, which way each figure faces) it tries every way the turn rule leaves it and
// every way after that for a few steps, wearing the tiles as the steps would, and scores each
// first way by the steps it survives at best; among ways that live equally long, the one with
// more tile left around where it ends. The first step also counts the tiles under the others
// (they wear too), the cells the others will likely walk into and the bounce rule: a player who
// meets another goes back to the tile it left, which may have broken. Pure: it changes nothing.
// Main thread only.
#pragma once
#include "game/board.h"
#include "game/players.h"

#include <array>
#include <cstdint>

struct SeenPlayer {
    int32_t col, row;
    int32_t heading; // the way its figure faces, FACING_UP .. FACING_LEFT
    bool standing;
};

// The board as a player sees it in the moment it decides.
struct Sight {
    TileGrid tiles;
    std::array<SeenPlayer, PLAYER_SLOTS> players;
    int32_t player_count;
};

// How carefully it looks this time.
struct Judgement {
    int32_t steps;                 // how far ahead
    std::array<double, 3> hunches; // 0 .. MAX_HUNCH, added to straight on, a left and a right turn
};
constexpr int32_t LOOKAHEAD_STEPS = 6;
// A hunch never outweighs a step of life: room is worth below ROOM_WEIGHT, and the two together
// stay under one step.
constexpr double ROOM_WEIGHT = 0.5;
constexpr double MAX_HUNCH = 0.4;
static_assert(ROOM_WEIGHT + MAX_HUNCH < 1.0);

// The facing that player `me` should take before the next step, given that its last step faced
// `last_facing`: last_facing itself or a quarter either way.
int32_t lookahead_choose(const Sight& sight, int32_t me, int32_t last_facing, const Judgement& judgement);
