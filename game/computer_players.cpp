#include "game/computer_players.h"

#include "game/computer_lookahead.h"

#include <limits>

std::array<int32_t, PLAYER_SLOTS> computer_slots;
std::array<ComputerPlan, PLAYER_SLOTS> computer_plans;
int32_t last_ticks_to_step;
uint32_t chance_state = 1;

namespace {

// It decides this many ticks before a step at the latest and at the earliest: after the last
// step's slide has mostly shown, with time to spare, as a person reacts.
constexpr int32_t EARLIEST_LEAD = 21, LATEST_LEAD = 4;
constexpr uint32_t GLANCE_PERCENT = 8;
constexpr int32_t GLANCE_STEPS = 2;
constexpr int32_t DEGREES_PER_FACING = 90;

// A small generator of its own (xorshift), so a seed plays the same on every compiler.
uint32_t chance() {
    chance_state ^= chance_state << 13;
    chance_state ^= chance_state >> 17;
    chance_state ^= chance_state << 5;
    return chance_state;
}
double chance_unit() {
    return chance() / (static_cast<double>(std::numeric_limits<uint32_t>::max()) + 1.0);
}

// Where a figure points as drawn: the quarter nearest its turn, which eases toward the facing
// in whole steps of degrees from 0 to 360. Whole numbers, so every build rounds alike (a half
// goes up, as rounding half away from zero does for these).
int32_t shown_heading(const Sprite& s) {
    const int32_t degrees = static_cast<int32_t>(s.rotation);
    const int32_t quarter = (degrees + DEGREES_PER_FACING / 2) / DEGREES_PER_FACING;
    return (quarter % FACINGS + FACINGS) % FACINGS;
}

Sight sight_now() {
    Sight sight;
    sight.tiles = tile_grid;
    sight.player_count = player_count;
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p) {
        const PlayerState& s = players[p];
        sight.players[p] = {s.col, s.row, shown_heading(player_sprite(p)), p < player_count && s.alive != 0};
    }
    return sight;
}

// A turn's place among the three the rule allows after a step that faced `last`: -1, 0 or +1.
int32_t quarter_from(int32_t facing, int32_t last) {
    const int32_t d = (facing - last + FACINGS) % FACINGS;
    return d == FACINGS - 1 ? -1 : d;
}

void steer_toward(int32_t slot, int32_t wanted) {
    const PlayerState& p = players[slot];
    const int32_t want = quarter_from(wanted, p.prev_facing);
    for (int32_t now = quarter_from(p.facing, p.prev_facing); now != want; now += now < want ? 1 : -1)
        player_turn(slot, now < want ? TURN_RIGHT : TURN_LEFT);
}

void plan_next(ComputerPlan& plan) {
    plan.decided = 0;
    plan.lead = LATEST_LEAD + static_cast<int32_t>(chance() % (EARLIEST_LEAD - LATEST_LEAD + 1));
}

} // namespace

bool computer_steers(int32_t slot) {
    return slot >= 0 && slot < PLAYER_SLOTS && computer_slots[slot] != 0;
}

void computer_switch(int32_t slot) {
    if (slot >= 0 && slot < PLAYER_SLOTS) computer_slots[slot] = !computer_slots[slot];
}

void computer_players_start(uint32_t seed) {
    chance_state = seed != 0 ? seed : 1;
    chance(); // neighbouring seeds part ways at once
    for (ComputerPlan& plan : computer_plans)
        plan_next(plan);
    last_ticks_to_step = std::numeric_limits<int32_t>::max();
}

void computer_players_tick(int32_t ticks_to_step) {
    const bool new_step = ticks_to_step > last_ticks_to_step;
    last_ticks_to_step = ticks_to_step;
    for (int32_t slot = 0; slot < player_count; ++slot) {
        if (!computer_steers(slot)) continue;
        ComputerPlan& plan = computer_plans[slot];
        if (new_step) plan_next(plan);
        if (plan.decided || ticks_to_step <= 0 || ticks_to_step > plan.lead || !players[slot].alive) continue;
        plan.decided = 1;
        steer_toward(slot, computer_decide(slot));
    }
}

int32_t computer_decide(int32_t slot) {
    Judgement judgement;
    judgement.steps = chance() % 100 < GLANCE_PERCENT ? GLANCE_STEPS : LOOKAHEAD_STEPS;
    for (double& hunch : judgement.hunches)
        hunch = MAX_HUNCH * chance_unit();
    return lookahead_choose(sight_now(), slot, players[slot].prev_facing, judgement);
}
