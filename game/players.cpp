#include "game/players.h"

#include "game/sounds.h"
#include "game/tweens.h"

std::array<PlayerState, PLAYER_SLOTS> players;
int32_t player_count = MIN_PLAYERS;
int32_t step_period = 30;

namespace {

// A move slides a whole cell; a bounce slides 30 pixels' worth toward the blocked cell and,
// with its turn half-way, back. Both take the motion time.
constexpr int32_t BOUNCE_DISTANCE = 30;
constexpr float PULSE_GROWTH = 0.04f;  // per tick: 0.6 swells to 1.0 and back
constexpr float FALL_SHRINK = -0.022f; // per tick: 0.6 shrinks to about 0.16
constexpr float EASE_STEP = 10.0f;     // degrees per tick
constexpr float DEGREES_PER_FACING = 90.0f;
constexpr float FULL_TURN = 360.0f;

// The motion time of a step, in ticks, and the turn point of a bounce within it.
int32_t motion_ticks() {
    return step_period - step_period / 3;
}

int32_t live_count() {
    int32_t n = 0;
    for (int32_t p = 0; p < player_count; ++p)
        n += players[p].alive != 0;
    return n;
}

void move_forward(PlayerState& player) {
    switch (player.facing) {
    case FACING_UP:
        --player.row;
        break;
    case FACING_RIGHT:
        ++player.col;
        break;
    case FACING_DOWN:
        ++player.row;
        break;
    case FACING_LEFT:
        --player.col;
        break;
    }
}

bool meet(const PlayerState& a, const PlayerState& b) {
    const bool same_cell = a.col == b.col && a.row == b.row;
    const bool swapped =
        a.col == b.prev_col && a.row == b.prev_row && b.col == a.prev_col && b.row == a.prev_row;
    return same_cell || swapped;
}

bool stands_on_board(const PlayerState& player) {
    return cell_on_board(player.col, player.row) &&
           tile_grid[tile_index(player.col, player.row)] != TILE_HOLE;
}

void pulse_every_player() {
    for (int32_t p = 0; p < player_count; ++p) {
        Tween* t = tween_add(&player_sprite(p));
        t->frames_left = motion_ticks();
        t->turn_at = motion_ticks() / 2;
        t->dscale = PULSE_GROWTH;
        effect_play("winner");
    }
}

// The sprite starts from the cell the step began on and slides toward the target cell.
void start_slide(int32_t slot, bool fell) {
    const PlayerState& player = players[slot];
    Sprite& s = player_sprite(slot);
    s.visible = 1;
    s.x = cell_x(player.prev_col);
    s.y = cell_y(player.prev_row);
    const int32_t ticks = motion_ticks();
    const bool bounced = player.col == player.prev_col && player.row == player.prev_row;
    const int32_t distance = bounced ? BOUNCE_DISTANCE : CELL_PITCH;
    Tween* t = tween_add(&s);
    t->frames_left = ticks;
    if (bounced && player.alive) t->turn_at = ticks / 2;
    t->dx = static_cast<float>((player.target_col - player.prev_col) * distance / ticks);
    t->dy = static_cast<float>((player.target_row - player.prev_row) * distance / ticks);
    if (fell) {
        t->dscale = FALL_SHRINK;
        t->hide_at_end = 1;
    }
}

// One easing step toward the facing. Across north it turns the short way: up or right from the
// left half keeps turning clockwise through 360, left from near 0 turns back through 0 to 350.
float eased(float r, int32_t facing) {
    const float left = DEGREES_PER_FACING * FACING_LEFT;
    if (facing == FACING_LEFT && r == left) return r;
    if (facing == FACING_LEFT && r < DEGREES_PER_FACING) return r - EASE_STEP;
    if ((facing == FACING_UP || facing == FACING_RIGHT) && r != 0 && r >= left) return r + EASE_STEP;
    const float target = DEGREES_PER_FACING * static_cast<float>(facing);
    if (r > target) return r - EASE_STEP;
    if (r < target) return r + EASE_STEP;
    return r;
}

} // namespace

Sprite& player_sprite(int32_t slot) {
    return sprite_pool[player_first_sprite + slot];
}

void player_turn(int32_t slot, int32_t direction) {
    if (slot < 0 || slot >= PLAYER_SLOTS) return;
    PlayerState& p = players[slot];
    // At most a quarter away from the facing of the last step, so two presses never U-turn.
    if (direction == TURN_LEFT && (p.facing == p.prev_facing || p.facing == (p.prev_facing + 1) % FACINGS))
        p.facing = (p.facing + 3) % FACINGS;
    if (direction == TURN_RIGHT && (p.facing == p.prev_facing || p.facing == (p.prev_facing + 3) % FACINGS))
        p.facing = (p.facing + 1) % FACINGS;
}

void level_load() {
    const LevelRecord level = level_record(current_level);
    for (int32_t p = 0; p < PLAYER_SLOTS; ++p)
        player_sprite(p).visible = 0;
    for (int32_t p = 0; p < player_count; ++p) {
        const LevelStart& start = level.starts[p];
        PlayerState& player = players[p];
        // No last step yet: what an earlier game left there would make two games from the same
        // start differ in their records, though never in their play.
        player.col = player.prev_col = player.target_col = start.col;
        player.row = player.prev_row = player.target_row = start.row;
        player.facing = player.prev_facing = start.facing;
        player.alive = 1;
        Sprite& s = player_sprite(p);
        s.visible = 1;
        s.scale = BOARD_SCALE;
        s.x = cell_x(player.col);
        s.y = cell_y(player.row);
        s.rotation = DEGREES_PER_FACING * static_cast<float>(player.facing);
    }
    board_load(level);
}

StepOutcome board_step(bool playing) {
    if (live_count() == 1) pulse_every_player();
    if (!playing) return {false, NO_WINNER};

    for (int32_t p = 0; p < player_count; ++p) {
        const PlayerState& player = players[p];
        if (player.alive && cell_on_board(player.col, player.row))
            tile_wear(tile_index(player.col, player.row));
    }

    for (int32_t p = 0; p < player_count; ++p) {
        PlayerState& player = players[p];
        if (!player.alive) continue;
        player.prev_col = player.col;
        player.prev_row = player.row;
        player.prev_facing = player.facing;
        move_forward(player);
        player.target_col = player.col;
        player.target_row = player.row;
    }

    // One pass over the ordered pairs: a bounce that makes a new meeting with a pair already
    // looked at stands.
    int32_t bounces = 0;
    for (int32_t a = 0; a < player_count; ++a) {
        for (int32_t b = 0; b < player_count; ++b) {
            PlayerState& pa = players[a];
            PlayerState& pb = players[b];
            if (a == b || !pa.alive || !pb.alive || !meet(pa, pb)) continue;
            ++bounces;
            pa.col = pa.prev_col;
            pa.row = pa.prev_row;
            pb.col = pb.prev_col;
            pb.row = pb.prev_row;
        }
    }

    int32_t falls = 0;
    for (int32_t p = 0; p < player_count; ++p) {
        PlayerState& player = players[p];
        if (!player.alive) continue;
        const bool fell = !stands_on_board(player);
        if (fell) {
            player.alive = 0;
            ++falls;
        }
        start_slide(p, fell);
    }

    const int32_t live = live_count();
    int32_t winner = NO_WINNER;
    for (int32_t p = 0; p < player_count; ++p)
        if (players[p].alive) winner = p;
    if (live == 1) {
        // The deciding fall goes to the device at once, before the round handles the end.
        effect_play("death");
        effect_send_now();
        return {true, winner};
    }
    effect_play(falls > 0 ? "death" : bounces > 0 ? "bounce" : "tic");
    return {live == 0, NO_WINNER};
}

void rotation_ease() {
    for (int32_t p = 0; p < player_count; ++p) {
        Sprite& s = player_sprite(p);
        float r = eased(s.rotation, players[p].facing);
        if (r > FULL_TURN) r -= FULL_TURN;
        if (r < 0) r += FULL_TURN;
        s.rotation = r;
    }
}
