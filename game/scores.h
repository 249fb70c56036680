// The score panel beside the board: for each player slot a tile, a small player figure and the
// digit of its wins (a score above 9 keeps showing 9). Created on the gameplay scene's first
// entry, in the pool below the overlay and the menu, so cutting the menu away keeps it.
// Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t SCORE_SPRITES_PER_SLOT = 3; // tile, figure, digit

extern int32_t score_panel_first_sprite; // -1 until the panel exists

// Creates the 12 panel sprites, slot by slot, shown.
void score_panel_create();

// Sets the player count (2..4). A different count resets every score to 0. Shows the panel
// rows of the active players (the menu shows their controls pictures itself).
void scores_set_player_count(int32_t n);

// Sets each slot's digit from its score.
void score_digits_refresh();
