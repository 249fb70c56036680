// The computer players: any slot may be steered by the computer instead of a person, chosen in
// the menu at one of three strengths; every slot starts as a person. An easy computer looks only
// at the next step, weighs its hunches as much as they may count and decides later than a normal
// one, as a young child plays; a normal one looks six steps ahead; a hard one looks further,
// seldom glances, follows no hunch and waits for the last moment to see what the others do.
// Each turns only as a person's key does, through player_turn under the same turn rule, once
// between two steps and at a moment a person could: some ticks after a step has shown, never in
// the tick of a step. It reads only what the screen shows (the tiles, where each player stands,
// which way each figure faces) and weighs its ways with lookahead_choose, which always looks at
// least one step ahead, so none steps into a hole that a turn allowed by the rule would have
// avoided. Now and then it misjudges as a person does: a hasty glance only a step or two ahead,
// or a hunch about which way has more room. Its chances come from a seed the round gives each
// game, so a game replays exactly. Main thread only.
#pragma once
#include "game/players.h"

#include <array>
#include <cstdint>

// What steers a slot: a person, or the computer at a strength.
constexpr int32_t COMPUTER_NONE = 0, COMPUTER_EASY = 1, COMPUTER_NORMAL = 2, COMPUTER_HARD = 3;
constexpr int32_t COMPUTER_STRENGTHS = 3;
extern std::array<int32_t, PLAYER_SLOTS> computer_slots; // COMPUTER_NONE .. COMPUTER_HARD

struct ComputerPlan {
    int32_t lead;    // decide when the step is this many ticks away, or nearer
    int32_t decided; // nonzero once it has turned before the coming step
};
extern std::array<ComputerPlan, PLAYER_SLOTS> computer_plans;
extern int32_t last_ticks_to_step; // what computer_players_tick was last told
extern uint32_t chance_state;      // the generator of their chances; never 0

bool computer_steers(int32_t slot);
// Steps the slot on: from a person to an easy, a normal and a hard computer, and back.
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
