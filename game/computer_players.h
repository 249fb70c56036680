// The computer players: any slot may be steered by the computer instead of a person, chosen in
// the menu; every slot starts as a person and the choice lasts for the run. A computer turns
// only as a person's key does, through player_turn under the same turn rule, once between two
// steps and at a moment a person could: some ticks after a step has shown, never in the tick of
// a step. It reads only what the screen shows (the tiles, where each player stands, which way
// each figure faces) and weighs its ways with lookahead_choose. Now and then it misjudges as a
// person does: a hasty glance only a couple of steps ahead, or a hunch about which way has more
// room. Its chances come from a seed the round gives each game, so a game replays exactly.
// Main thread only.
#pragma once
#include "game/players.h"

#include <array>
#include <cstdint>

extern std::array<int32_t, PLAYER_SLOTS> computer_slots; // nonzero: the computer steers the slot

struct ComputerPlan {
    int32_t lead;    // decide when the step is this many ticks away, or nearer
    int32_t decided; // nonzero once it has turned before the coming step
};
extern std::array<ComputerPlan, PLAYER_SLOTS> computer_plans;
extern int32_t last_ticks_to_step; // what computer_players_tick was last told
extern uint32_t chance_state;      // the generator of their chances; never 0

bool computer_steers(int32_t slot);
// Hands the slot from a person to the computer or back.
void computer_switch(int32_t slot);

// A new game: fresh chances from the seed, and no turn decided yet.
void computer_players_start(uint32_t seed);

// Every tick of the countdown and of play, before the step clock: each computer that has not yet
// decided before the coming step does so once its moment has come. ticks_to_step is 0 in the
// tick of a step.
void computer_players_tick(int32_t ticks_to_step);

// The facing the computer in `slot` wants before the next step, as it would decide now (uses up
// chances).
int32_t computer_decide(int32_t slot);
