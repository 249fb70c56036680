#include "game/scores.h"

#include "engine/image_table.h"
#include "engine/sprite_pool.h"
#include "game/players.h"
#include "game/sprite_make.h"

#include <array>

int32_t score_panel_first_sprite = -1;

namespace {

constexpr int32_t HIGHEST_DIGIT = 9;
constexpr int32_t PANEL_X = 600, PANEL_TOP = 160, PANEL_ROW_PITCH = 60;
constexpr float FIGURE_SCALE = 0.4f;

// A row's tile, figure and digit stand at these offsets from (PANEL_X, the row's base).
constexpr int32_t TILE_DX = 0, TILE_DY = -35, FIGURE_DX = 13, FIGURE_DY = -25, DIGIT_DX = 16, DIGIT_DY = 0;
constexpr int32_t DIGIT_PIECE = 2; // after the tile and the figure

constexpr std::array<const char*, HIGHEST_DIGIT + 1> DIGIT_IMAGES = {
    "scorechar0.png", "scorechar1.png", "scorechar2.png", "scorechar3.png", "scorechar4.png",
    "scorechar5.png", "scorechar6.png", "scorechar7.png", "scorechar8.png", "scorechar9.png"};

// The pool entry of a panel piece, or null while the panel does not exist.
Sprite* panel_sprite(int32_t slot, int32_t piece) {
    if (score_panel_first_sprite < 0) return nullptr;
    return sprite_at(score_panel_first_sprite + SCORE_SPRITES_PER_SLOT * slot + piece);
}

void panel_row_show(int32_t slot, int32_t visible) {
    for (int32_t piece = 0; piece < SCORE_SPRITES_PER_SLOT; ++piece)
        if (Sprite* s = panel_sprite(slot, piece)) s->visible = visible;
}

} // namespace

void score_panel_create() {
    score_panel_first_sprite = sprite_count;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const int32_t base = PANEL_TOP + PANEL_ROW_PITCH * slot;
        sprite_make("tile005.png", PANEL_X + TILE_DX, base + TILE_DY, 1.0f, 1);
        sprite_make(PLAYER_IMAGES[slot], PANEL_X + FIGURE_DX, base + FIGURE_DY, FIGURE_SCALE, 1);
        sprite_make(DIGIT_IMAGES[0], PANEL_X + DIGIT_DX, base + DIGIT_DY, 1.0f, 1);
    }
}

void scores_set_player_count(int32_t n) {
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        if (n != player_count) players[slot].score = 0;
        panel_row_show(slot, 0);
    }
    player_count = n;
    for (int32_t slot = 0; slot < player_count; ++slot)
        panel_row_show(slot, 1);
    score_digits_refresh();
}

void score_digits_refresh() {
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const int32_t score = players[slot].score;
        Sprite* digit = panel_sprite(slot, DIGIT_PIECE);
        if (digit && score >= 0 && score <= HIGHEST_DIGIT) digit->image = image_find(DIGIT_IMAGES[score]);
    }
}
