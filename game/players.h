// The players: four slots of which the first player_count take part. Every step_period ticks
// each live player moves one cell the way it faces; between steps it may only turn a quarter
// left or right of the facing it had at the last step. A player who moves off the board or onto
// a hole falls; players who would meet bounce back. This module owns the records, the controls,
// the turn rule, placing the players as a level loads, the step with its collisions, falls and
// sounds, and the easing of the player sprites' rotation toward their facing. Main thread only.
#pragma once
#include "engine/sprite_pool.h"
#include "game/board.h"
#include "game/turn_keys.h"

#include <array>
#include <cstdint>

constexpr int32_t MIN_PLAYERS = 2;
constexpr int32_t NO_WINNER = -1;
constexpr int32_t FACING_UP = 0, FACING_RIGHT = 1, FACING_DOWN = 2, FACING_LEFT = 3;
constexpr int32_t FACINGS = 4;
constexpr int32_t TURN_LEFT = -1, TURN_RIGHT = 1;

struct PlayerState {
    int32_t col, row;               // may lie off the board after a fatal move
    int32_t prev_col, prev_row;     // the cell at the start of the last step
    int32_t target_col, target_row; // where the last step went before collisions
    int32_t facing;                 // FACING_UP .. FACING_LEFT
    int32_t prev_facing;            // the facing at the start of the last step
    int32_t alive;
    int32_t score; // games won since the player count last changed
};

// The player sprites' images, slot by slot; the score panel's figures show them too.
constexpr std::array<const char*, PLAYER_SLOTS> PLAYER_IMAGES = {"player001.png", "player002.png",
                                                                 "player003.png", "player004.png"};

extern std::array<PlayerState, PLAYER_SLOTS> players;
extern int32_t player_count; // MIN_PLAYERS .. PLAYER_SLOTS; 2 at start
extern int32_t step_period;  // ticks between steps, 30

// The sprite of a slot (start-up made them, in slot order, from player_first_sprite).
Sprite& player_sprite(int32_t slot);

// Turns a quarter (TURN_LEFT or TURN_RIGHT) unless that would leave the facing of the last step
// by more than a quarter. Looks only at the facings, so a fallen player's record turns too.
void player_turn(int32_t slot, int32_t direction);

// Loads current_level: hides all four players, places the active ones on their start cells
// (alive, facing their start way, their last step's and target cells that one too, sprites
// shown), then the board. Scores are left alone.
void level_load();

// What a step of play came to; the round acts on it.
struct StepOutcome {
    bool decided;   // at most one player is left standing
    int32_t winner; // that player, or NO_WINNER
};

// One step of the board game; the gameplay update runs it when the step clock fires. Outside play
// (`playing` false) it only pulses a lone survivor, and nothing is decided.
StepOutcome board_step(bool playing);

// Turns each active player's sprite 10 degrees a tick toward its facing, the short way across
// north. Once per tick, after the input and before the countdown and the step.
void rotation_ease();
