#include "game/computer_players.h"

#include "game/computer_lookahead.h"

#include <limits>

std::array<int32_t, PLAYER_SLOTS> computer_slots;
std::array<ComputerPlan, PLAYER_SLOTS> computer_plans;
int32_t last_ticks_to_step;
uint32_t chance_state = 1;

namespace {

// How each strength plays. It decides between latest_lead and earliest_lead ticks before a step:
// after the last step's slide has mostly shown, in time, as a person reacts. The later it decides
// the more it sees (the others' figures turn as they choose), so a hard computer waits for the
// last moment a person could still turn. Now and then it only glances glance_steps ahead; its
// hunches about room weigh up to `hunch`.
struct Strength {
    int32_t steps;
    uint32_t glance_percent;
    int32_t glance_steps;
    double hunch;
    int32_t earliest_lead, latest_lead;
};
constexpr std::array<Strength, COMPUTER_STRENGTHS> STRENGTHS = {{
    {1, 0, 1, MAX_HUNCH, 10, 4},
    {LOOKAHEAD_STEPS, 8, 2, MAX_HUNCH, 21, 4},
    {8, 2, 4, 0.0, 6, 4},
}};
// Every strength keeps the turn rule's moment (never in the tick of a step) and at least the next
// step in view, which is what keeps it out of a hole a turn could have avoided.
static_assert([] {
    for (const Strength& s : STRENGTHS)
        if (s.latest_lead < 1 || s.earliest_lead < s.latest_lead || s.steps < 1 || s.glance_steps < 1 ||
            s.hunch > MAX_HUNCH || s.glance_percent > 100)
            return false;
    return true;
}());
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

const Strength& strength_of(int32_t slot) {
    const int32_t s = computer_slots[slot];
    return STRENGTHS[(s >= COMPUTER_EASY && s <= COMPUTER_HARD ? s : COMPUTER_NORMAL) - COMPUTER_EASY];
}

void plan_next(ComputerPlan& plan, const Strength& strength) {
    plan.decided = 0;
    plan.lead = strength.latest_lead +
                static_cast<int32_t>(chance() % (strength.earliest_lead - strength.latest_lead + 1));
}

} // namespace

bool computer_steers(int32_t slot) {
    return slot >= 0 && slot < PLAYER_SLOTS && computer_slots[slot] != 0;
}

void computer_switch(int32_t slot) {
    if (slot >= 0 && slot < PLAYER_SLOTS)
        computer_slots[slot] = (computer_slots[slot] + 1) % (COMPUTER_HARD + 1);
}

void computer_players_start(uint32_t seed) {
    chance_state = seed != 0 ? seed : 1;
    chance(); // neighbouring seeds part ways at once
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        plan_next(computer_plans[slot], strength_of(slot));
    last_ticks_to_step = std::numeric_limits<int32_t>::max();
}

void computer_players_tick(int32_t ticks_to_step) {
    const bool new_step = ticks_to_step > last_ticks_to_step;
    last_ticks_to_step = ticks_to_step;
    for (int32_t slot = 0; slot < player_count; ++slot) {
        if (!computer_steers(slot)) continue;
        ComputerPlan& plan = computer_plans[slot];
        if (new_step) plan_next(plan, strength_of(slot));
        if (plan.decided || ticks_to_step <= 0 || ticks_to_step > plan.lead || !players[slot].alive) continue;
        plan.decided = 1;
        steer_toward(slot, computer_decide(slot));
    }
}

int32_t computer_decide(int32_t slot) {
    const Strength& strength = strength_of(slot);
    Judgement judgement;
    judgement.steps = chance() % 100 < strength.glance_percent ? strength.glance_steps : strength.steps;
    for (double& hunch : judgement.hunches)
        hunch = strength.hunch * chance_unit();
    return lookahead_choose(sight_now(), slot, players[slot].prev_facing, judgement);
}
